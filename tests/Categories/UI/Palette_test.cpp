#include <gtest/gtest.h>

#include "Categories/UI/AttributedString+Tovrin.h"
#include "Categories/UI/Color+Tovrin.h"

namespace tovrin {
namespace {

TEST(Palette, EveryColourHasItsFractionsAndIsOpaque) {
    const struct {
        const char* name;
        QColor (*color)();
        float red, green, blue;
    } palette[] = {
        {"tovrinOffBlackColor", tovrinOffBlackColor, 0.09f, 0.09f, 0.09f},
        {"tovrinOffWhiteColor", tovrinOffWhiteColor, 0.9411f, 0.945f, 0.952f},
        {"tovrinDestructiveActionColor", tovrinDestructiveActionColor, 0.8627f, 0.333f, 0.2784f},
        {"tovrinDefaultImageBackgroundColor", tovrinDefaultImageBackgroundColor, 0.258824f, 0.258824f,
         0.270588f},
        {"tovrinFormValueTextColor", tovrinFormValueTextColor, 0.56f, 0.56f, 0.58f},
        {"tovrinTextFieldPlaceholderTextColor", tovrinTextFieldPlaceholderTextColor, 0.619f, 0.619f, 0.658f},
        {"tovrinEditProfileBackgroundColor", tovrinEditProfileBackgroundColor, 0.97f, 0.97f, 0.97f},
        {"tovrinEditProfileSpacerColor", tovrinEditProfileSpacerColor, 0.78f, 0.78f, 0.8f},
        {"tovrinOnlineGreenColor", tovrinOnlineGreenColor, 0.19f, 0.75f, 0.49f},
        {"facebookBlueColor", facebookBlueColor, 0.24f, 0.35f, 0.59f},
        {"instagramColor", instagramColor, 0.33f, 0.5f, 0.64f},
        {"defaultBlueColor", defaultBlueColor, 0.0381f, 0.3572f, 0.9983f},
        {"twitterColor", twitterColor, 0.27f, 0.61f, 0.99f},
        {"tovrinOnlineNowFilterColor", tovrinOnlineNowFilterColor, 0.0f, 0.9607f, 0.6588f},
        {"tovrinMyTypeFilterColor", tovrinMyTypeFilterColor, 0.3294f, 0.6156f, 0.937f},
        {"tovrinDarkBarColor", tovrinDarkBarColor, 0.1372f, 0.1372f, 0.1411f},
        {"tovrinGray1Color", tovrinGray1Color, 0.839f, 0.839f, 0.839f},
        {"tovrinGray3Color", tovrinGray3Color, 0.6196f, 0.6196f, 0.6588f},
        {"tovrinGray4Color", tovrinGray4Color, 0.447f, 0.439f, 0.427f},
        {"tovrinGrayBlack1Color", tovrinGrayBlack1Color, 0.1137f, 0.1176f, 0.1216f},
        {"tovrinGrayBlack2Color", tovrinGrayBlack2Color, 0.035f, 0.0392f, 0.0392f},
        {"tovrinGrayBlack3Color", tovrinGrayBlack3Color, 0.1725f, 0.1725f, 0.18f},
        {"tovrinGoldenRodColor", tovrinGoldenRodColor, 0.988f, 0.702f, 0.086f},
    };
    EXPECT_EQ(std::size(palette), 23u);
    for (const auto& entry : palette) {
        const QColor color = entry.color();
        // Qt keeps 16 bits a channel.
        EXPECT_NEAR(color.redF(), entry.red, 1.0 / 65535) << entry.name;
        EXPECT_NEAR(color.greenF(), entry.green, 1.0 / 65535) << entry.name;
        EXPECT_NEAR(color.blueF(), entry.blue, 1.0 / 65535) << entry.name;
        EXPECT_EQ(color.alpha(), 255) << entry.name;
        // Made as RGB, not converted from another colour model.
        EXPECT_EQ(color, color.toRgb()) << entry.name;
    }
}

TEST(Palette, ThePlaceholderAndTheThirdGreyAreOneEightBitColour) {
    EXPECT_NE(tovrinGray3Color(), tovrinTextFieldPlaceholderTextColor());
    EXPECT_EQ(tovrinGray3Color().rgb(), tovrinTextFieldPlaceholderTextColor().rgb());
}

TEST(AttributedStringHelpers, AColouredTextCarriesOnlyItsColourOverAllOfIt) {
    const ui::AttributedString text = tvr_attributedString(QStringLiteral("Email"), Qt::red);
    ASSERT_EQ(text.runs().size(), 1u);
    EXPECT_EQ(text.runs().front().start, 0);
    EXPECT_EQ(text.runs().front().length, 5);
    ui::TextAttributes only;
    only.foregroundColor = QColor(Qt::red);
    EXPECT_EQ(text.runs().front().attributes, only);
    EXPECT_EQ(tvr_attributedPlaceholder(QStringLiteral("Password")).attributesAt(3).foregroundColor,
              tovrinTextFieldPlaceholderTextColor());
}

}  // namespace
}  // namespace tovrin
