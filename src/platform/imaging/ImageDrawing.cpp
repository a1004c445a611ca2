#include "platform/imaging/ImageDrawing.h"

#include <QPainter>
#include <algorithm>

namespace tovrin::imaging {

namespace {

int pixels(double points, double scale) {
    return std::max(1, qRound(points * scale));
}

}  // namespace

QImage resizedImage(const QImage& image, const QSizeF& size, bool opaque) {
    if (image.isNull()) return {};
    const double scale = image.devicePixelRatio();
    const QSize pixelSize(pixels(size.width(), scale), pixels(size.height(), scale));
    const QImage scaled = image.scaled(pixelSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QImage resized =
        opaque ? opaqueImage(scaled) : scaled.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    resized.setDevicePixelRatio(scale);
    return resized;
}

QImage croppedImage(const QImage& image, const QRectF& rect) {
    const double scale = image.devicePixelRatio();
    const QRectF pixelRect(rect.x() * scale, rect.y() * scale, rect.width() * scale, rect.height() * scale);
    const QRect clipped = pixelRect.toAlignedRect().intersected(image.rect());
    if (clipped.isEmpty()) return {};
    QImage cropped = image.copy(clipped);
    cropped.setDevicePixelRatio(scale);
    return cropped;
}

QImage opaqueImage(const QImage& image) {
    if (!image.hasAlphaChannel()) return image.convertToFormat(QImage::Format_RGB32);
    QImage canvas(image.size(), QImage::Format_RGB32);
    canvas.fill(Qt::black);
    QImage source(image);
    source.setDevicePixelRatio(1);  // pixel for pixel
    QPainter painter(&canvas);
    painter.drawImage(0, 0, source);
    painter.end();
    canvas.setDevicePixelRatio(image.devicePixelRatio());
    return canvas;
}

QSizeF imageSize(const QImage& image) {
    return image.deviceIndependentSize();
}

}  // namespace tovrin::imaging
