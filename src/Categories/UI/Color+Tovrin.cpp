#include "Categories/UI/Color+Tovrin.h"

namespace tovrin {
namespace {

QColor rgb(float red, float green, float blue) {
    return QColor::fromRgbF(red, green, blue, 1.0f);
}

}  // namespace

QColor tovrinOffBlackColor() {
    return rgb(0.09f, 0.09f, 0.09f);
}
QColor tovrinOffWhiteColor() {
    return rgb(0.9411f, 0.945f, 0.952f);
}
QColor tovrinDestructiveActionColor() {
    return rgb(0.8627f, 0.333f, 0.2784f);
}
QColor tovrinDefaultImageBackgroundColor() {
    return rgb(0.258824f, 0.258824f, 0.270588f);
}
QColor tovrinFormValueTextColor() {
    return rgb(0.56f, 0.56f, 0.58f);
}
QColor tovrinTextFieldPlaceholderTextColor() {
    return rgb(0.619f, 0.619f, 0.658f);
}
QColor tovrinEditProfileBackgroundColor() {
    return rgb(0.97f, 0.97f, 0.97f);
}
QColor tovrinEditProfileSpacerColor() {
    return rgb(0.78f, 0.78f, 0.8f);
}
QColor tovrinOnlineGreenColor() {
    return rgb(0.19f, 0.75f, 0.49f);
}
QColor facebookBlueColor() {
    return rgb(0.24f, 0.35f, 0.59f);
}
QColor instagramColor() {
    return rgb(0.33f, 0.5f, 0.64f);
}
QColor defaultBlueColor() {
    return rgb(0.0381f, 0.3572f, 0.9983f);
}
QColor twitterColor() {
    return rgb(0.27f, 0.61f, 0.99f);
}
QColor tovrinOnlineNowFilterColor() {
    return rgb(0.0f, 0.9607f, 0.6588f);
}
QColor tovrinMyTypeFilterColor() {
    return rgb(0.3294f, 0.6156f, 0.937f);
}
QColor tovrinDarkBarColor() {
    return rgb(0.1372f, 0.1372f, 0.1411f);
}
QColor tovrinGray1Color() {
    return rgb(0.839f, 0.839f, 0.839f);
}
QColor tovrinGray3Color() {
    return rgb(0.6196f, 0.6196f, 0.6588f);
}
QColor tovrinGray4Color() {
    return rgb(0.447f, 0.439f, 0.427f);
}
QColor tovrinGrayBlack1Color() {
    return rgb(0.1137f, 0.1176f, 0.1216f);
}
QColor tovrinGrayBlack2Color() {
    return rgb(0.035f, 0.0392f, 0.0392f);
}
QColor tovrinGrayBlack3Color() {
    return rgb(0.1725f, 0.1725f, 0.18f);
}
QColor tovrinGoldenRodColor() {
    return rgb(0.988f, 0.702f, 0.086f);
}

}  // namespace tovrin
