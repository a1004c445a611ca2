#include "UserInterface/ToggleButton.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

#include "platform/system/Screen.h"
#include "platform/ui/controls/ImageView.h"
#include "platform/ui/text/Font.h"
#include "platform/ui/text/IconFont.h"
#include "platform/ui/text/Label.h"

namespace tovrin {
namespace {

constexpr double GlyphScale = 1.25;
constexpr double GlyphSpacing = 8;
constexpr double ImageSpacing = 12;

// A transparent canvas of that size in points, at the screen's scale.
QImage canvas(const QSizeF& points, double scale) {
    QImage image(int(std::ceil(points.width() * scale)), int(std::ceil(points.height() * scale)),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    return image;
}

}  // namespace

ToggleButton::ToggleButton(ui::Button::Type type, QWidget* parent) : ui::Button(type, parent) {
    ui::Button::setTitleColor(titleColorForState(Highlighted), Selected | Highlighted);
    titleLabel()->setNumberOfLines(0);
}

void ToggleButton::setTitleColor(const QColor& color, int state) {
    ui::Button::setTitleColor(color, state);
    if (state == Highlighted) ui::Button::setTitleColor(color, Selected | Highlighted);
}

void ToggleButton::setImageColor(const QColor& color) {
    imageView()->setTintColor(color);
    imageColor_ = color;
}

void ToggleButton::setNormalIcon(const QString& icon) {
    const ui::Image glyph = glyphImage(icon);
    setImage(glyph.withRenderingMode(ui::Image::RenderingMode::AlwaysTemplate), Normal);
    setImage(glyph.withRenderingMode(ui::Image::RenderingMode::AlwaysOriginal), Highlighted);
    normalIcon_ = icon;
}

void ToggleButton::setSelectedIcon(const QString& icon) {
    const ui::Image glyph = glyphImage(icon);
    setImage(glyph.withRenderingMode(ui::Image::RenderingMode::AlwaysTemplate), Selected);
    setImage(glyph.withRenderingMode(ui::Image::RenderingMode::AlwaysOriginal), Selected | Highlighted);
    selectedIcon_ = icon;
}

void ToggleButton::setNormalImageName(const QString& name) {
    setImage(widenedImage(name), Normal);
    normalImageName_ = name;
}

void ToggleButton::setSelectedImageName(const QString& name) {
    setImage(widenedImage(name), Selected);
    selectedImageName_ = name;
}

ui::Image ToggleButton::glyphImage(const QString& icon) const {
    const QString text = ui::IconFont::stringForIconName(icon);
    const QFont font = ui::IconFont::fontOfSize(GlyphScale * ui::Font::pointSize(titleLabel()->font()));
    const QFontMetricsF metrics(font);
    const QSizeF textSize(metrics.horizontalAdvance(text), metrics.height());
    const double scale = Screen::main()->scale();
    QImage image = canvas(QSizeF(textSize.width() + GlyphSpacing, textSize.height()), scale);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QPointF(0, metrics.ascent()), text);
    painter.end();
    return ui::Image(image, scale);
}

ui::Image ToggleButton::widenedImage(const QString& name) {
    const ui::Image named = ui::Image::named(name);
    if (named.isNull()) return named;
    const double scale = Screen::main()->scale();
    QImage image = canvas(QSizeF(named.size().width() + ImageSpacing, named.size().height()), scale);
    QPainter painter(&image);
    named.draw(painter, QRectF(QPointF(0, 0), named.size()));
    painter.end();
    return ui::Image(image, scale);
}

}  // namespace tovrin
