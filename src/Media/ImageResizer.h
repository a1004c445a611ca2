#pragma once

#include <QImage>
#include <QSizeF>

namespace tovrin {

// Scales a photo down to fit a maximum size before it is sent, keeping its proportions.
class ImageResizer {
public:
    // The same image when it fits the maximum size (points); otherwise the image scaled down to
    // fit, at its own scale, opaque exactly when the image has no alpha channel.
    QImage resizeImage(const QImage& image, const QSizeF& maxSize) const;
};

}  // namespace tovrin
