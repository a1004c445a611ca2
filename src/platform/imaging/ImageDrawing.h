#pragma once

#include <QImage>
#include <QRectF>
#include <QSizeF>

namespace tovrin::imaging {

// Sizes and rectangles are in points; an image's scale (pixels per point) is its device pixel ratio.

// The image drawn anew over a canvas of the given size at the image's own scale. An opaque canvas
// has no alpha channel (transparent parts come out black); the other keeps the image's alpha.
QImage resizedImage(const QImage& image, const QSizeF& size, bool opaque);

// The part of the image inside the rectangle, clipped to the image, at the image's own scale; a
// null image when nothing of it lies inside.
QImage croppedImage(const QImage& image, const QRectF& rect);

// The image over black, without an alpha channel.
QImage opaqueImage(const QImage& image);

// The image's size in points.
QSizeF imageSize(const QImage& image);

}  // namespace tovrin::imaging
