#include "Media/ImageResizer.h"

#include <algorithm>

#include "platform/imaging/ImageDrawing.h"

namespace tovrin {

QImage ImageResizer::resizeImage(const QImage& image, const QSizeF& maxSize) const {
    const QSizeF size = imaging::imageSize(image);
    const float width = float(size.width());
    const float height = float(size.height());
    const float maxWidth = float(maxSize.width());
    const float maxHeight = float(maxSize.height());
    if (width <= maxWidth && height <= maxHeight) return image;
    const float ratio = std::min(maxWidth / width, maxHeight / height);
    return imaging::resizedImage(image, QSizeF(width * ratio, height * ratio), !image.hasAlphaChannel());
}

}  // namespace tovrin
