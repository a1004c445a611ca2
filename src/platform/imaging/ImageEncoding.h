#pragma once

#include <QByteArray>
#include <QImage>

namespace tovrin::imaging {

// The image as JPEG data, at a quality from 0 (smallest) to 1 (best); empty when the image is null.
// Transparent parts come out as if over black.
QByteArray JPEGRepresentation(const QImage& image, double compressionQuality);

}  // namespace tovrin::imaging
