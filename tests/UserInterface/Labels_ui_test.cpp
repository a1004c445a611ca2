#include <gtest/gtest.h>

#include <QFontInfo>
#include <QPainter>

#include "Categories/UI/Font+Tovrin.h"
#include "UserInterface/ConsistentHeightLabel.h"
#include "UserInterface/IconLabel.h"
#include "UserInterface/TovrinLabel.h"
#include "platform/ui/text/Font.h"
#include "platform/ui/text/IconFont.h"

namespace tovrin {
namespace {

// The label drawn white on transparent; what lies under the text shows the shadow.
QImage render(ui::Label& label) {
    label.setFrame(QRectF(0, 0, 120, 40));
    QImage image(120, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    label.drawTextInRect(painter, QRectF(0, 0, 120, 40));
    return image;
}

int darkPixels(const QImage& premultiplied) {
    const QImage image = premultiplied.convertToFormat(QImage::Format_ARGB32);
    int dark = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) > 20 && qGray(pixel) < 60) ++dark;
        }
    }
    return dark;
}

TEST(TovrinLabel, DrawsItsTextWithASoftDarkShadowBelowIt) {
    TovrinLabel shadowed(QStringLiteral("Tovrin"));
    ui::Label plain(QStringLiteral("Tovrin"));
    for (ui::Label* label : {static_cast<ui::Label*>(&shadowed), &plain}) label->setTextColor(Qt::white);
    EXPECT_GT(darkPixels(render(shadowed)), 20);
    EXPECT_EQ(darkPixels(render(plain)), 0);
    const ui::TextShadow shadow = TovrinLabel::textShadow();
    EXPECT_EQ(shadow.offset, QPointF(0, 1));
    EXPECT_DOUBLE_EQ(shadow.blurRadius, 4);
    EXPECT_EQ(shadow.color, QColor::fromRgbF(0, 0, 0, 0.8f));
}

TEST(ConsistentHeightLabel, AnEmptyLabelMeasuresAsOneLineAndKeepsItsText) {
    const QRectF bounds(0, 0, 200, 100);
    for (const QString& empty : {QString(), QStringLiteral("")}) {
        ConsistentHeightLabel label;
        label.setFont(tovrinFont(QStringLiteral("DINOT"), 16));
        label.setText(empty);
        ConsistentHeightLabel oneCharacter;
        oneCharacter.setFont(label.font());
        oneCharacter.setText(QStringLiteral("x"));
        const double height = label.textRectForBounds(bounds, 1).height();
        EXPECT_GT(height, 0);
        EXPECT_EQ(height, oneCharacter.textRectForBounds(bounds, 1).height());
        EXPECT_EQ(label.text().isNull(), empty.isNull());
        EXPECT_TRUE(label.text().isEmpty());
    }
    ui::Label collapsing;
    EXPECT_EQ(collapsing.textRectForBounds(bounds, 1).height(), 0);
}

TEST(IconLabel, KeepsTheIconFontAndTakesOnlyTheSizeOfANewFont) {
    IconLabel label;
    label.setFont(tovrinFont(QStringLiteral("DINOT-Bold"), 14));
    EXPECT_EQ(label.font().family(), ui::IconFont::familyName());
    EXPECT_EQ(ui::Font::pointSize(label.font()), 14);
    label.setIcon(QStringLiteral("fa-check"));
    EXPECT_EQ(label.icon(), QStringLiteral("fa-check"));
    EXPECT_EQ(label.text(), QString(QChar(0xf00c)));
    EXPECT_EQ(ui::Font::pointSize(label.font()), 14);
    label.setFont(ui::Font::systemFont(22));
    EXPECT_EQ(label.font().family(), ui::IconFont::familyName());
    EXPECT_EQ(ui::Font::pointSize(label.font()), 22);
    EXPECT_EQ(label.text(), QString(QChar(0xf00c)));
}

TEST(IconFont, NamesMapToGlyphsOfTheBundledFont) {
    EXPECT_FALSE(ui::IconFont::familyName().isEmpty());
    EXPECT_EQ(ui::IconFont::stringForIconName(QStringLiteral("fa-times")), QString(QChar(0xf00d)));
    EXPECT_TRUE(ui::IconFont::stringForIconName(QStringLiteral("no-such-icon")).isEmpty());
    EXPECT_TRUE(QFontInfo(ui::IconFont::fontOfSize(12)).exactMatch() ||
                QFontInfo(ui::IconFont::fontOfSize(12)).family() == ui::IconFont::familyName());
}

TEST(TovrinTypefaces, TheFourFacesMapToTheBundledFamilyInTheirWeights) {
    const struct {
        const char* face;
        int weight;
    } faces[] = {{"DINOT", QFont::Normal},
                 {"DINOT-Medium", QFont::Medium},
                 {"DINOT-Bold", QFont::Bold},
                 {"DIN OT", QFont::Normal}};
    for (const auto& face : faces) {
        const QFont font = tovrinFont(QString::fromLatin1(face.face), 16);
        EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("Roboto Condensed")) << face.face;
        EXPECT_EQ(font.weight(), face.weight) << face.face;
        EXPECT_EQ(ui::Font::pointSize(font), 16) << face.face;
    }
}

}  // namespace
}  // namespace tovrin
