#include "Categories/UI/Image+Tovrin.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "platform/system/Screen.h"

namespace tovrin {

namespace {

constexpr double maskSide = 5;
constexpr double maskCornerRadius = 2;

QImage clearCanvas(double points, double scale) {
    const int pixels = int(std::ceil(points * scale));
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    return image;
}

ui::Image makeCascadeMask(double scale) {
    QImage image = clearCanvas(maskSide, scale);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    QPainterPath rounded;
    rounded.addRoundedRect(QRectF(0, 0, maskSide, maskSide), maskCornerRadius, maskCornerRadius);
    painter.fillPath(rounded, Qt::black);
    painter.end();
    const double cap = maskCornerRadius;
    return ui::Image(image, scale)
        .withRenderingMode(ui::Image::RenderingMode::AlwaysTemplate)
        .resizableWithCapInsets(ui::EdgeInsets{cap, cap, cap, cap});
}

}  // namespace

ui::Image tvr_imageFromColor(const QColor& color, const tovrin::Screen& screen) {
    QImage image = clearCanvas(1, screen.scale());
    image.fill(color);
    return ui::Image(image, screen.scale());
}

ui::Image tvr_imageFromColor(const QColor& color) {
    return tvr_imageFromColor(color, *Screen::main());
}

const ui::Image& tvr_cascadeMaskImage() {
    // A function-local static is built once even when threads race to the first call.
    static const ui::Image mask = makeCascadeMask(Screen::main()->scale());
    return mask;
}

}  // namespace tovrin
