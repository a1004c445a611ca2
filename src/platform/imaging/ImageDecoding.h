#pragma once

#include <QByteArray>
#include <QImage>

namespace tovrin::imaging {

// The most memory one decoded picture may take (32-bit pixels): about 33 million pixels. A picture
// whose header promises more is not decoded at all, so hostile data cannot exhaust memory.
inline constexpr qint64 MaximumDecodedImageBytes = qint64(128) * 1024 * 1024;

// The picture in encoded data (JPEG, PNG, GIF, ...), turned upright as its orientation tag says, at
// scale 1; a null image when the data holds no picture or one larger than the limit.
QImage imageWithData(const QByteArray& data);

}  // namespace tovrin::imaging
