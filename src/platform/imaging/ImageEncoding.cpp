#include "platform/imaging/ImageEncoding.h"

#include <QBuffer>
#include <QImageWriter>
#include <algorithm>

#include "platform/imaging/ImageDrawing.h"

namespace tovrin::imaging {

QByteArray JPEGRepresentation(const QImage& image, double compressionQuality) {
    if (image.isNull()) return {};
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(qRound(std::clamp(compressionQuality, 0.0, 1.0) * 100));
    if (!writer.write(opaqueImage(image))) return {};
    return data;
}

}  // namespace tovrin::imaging
