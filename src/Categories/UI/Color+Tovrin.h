#pragma once

#include <QColor>

namespace tovrin {

// The palette: every screen takes its colours from here. Opaque device-RGB colours from
// single-precision fractions.
QColor tovrinOffBlackColor();
QColor tovrinOffWhiteColor();
QColor tovrinDestructiveActionColor();
QColor tovrinDefaultImageBackgroundColor();
QColor tovrinFormValueTextColor();
QColor tovrinTextFieldPlaceholderTextColor();
QColor tovrinEditProfileBackgroundColor();
QColor tovrinEditProfileSpacerColor();
QColor tovrinOnlineGreenColor();
QColor facebookBlueColor();
QColor instagramColor();
QColor defaultBlueColor();
QColor twitterColor();
QColor tovrinOnlineNowFilterColor();
QColor tovrinMyTypeFilterColor();
QColor tovrinDarkBarColor();
QColor tovrinGray1Color();
QColor tovrinGray3Color();
QColor tovrinGray4Color();
QColor tovrinGrayBlack1Color();
QColor tovrinGrayBlack2Color();
QColor tovrinGrayBlack3Color();
QColor tovrinGoldenRodColor();

}  // namespace tovrin
