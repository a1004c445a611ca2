#include "platform/imaging/ImageDecoding.h"

#include <QBuffer>
#include <QImageReader>

namespace tovrin::imaging {

namespace {

bool fitsTheLimit(const QSize& size) {
    return qint64(size.width()) * qint64(size.height()) * 4 <= MaximumDecodedImageBytes;
}

// Readers check it themselves against the sizes they really allocate, for formats whose header
// does not say the size.
void limitReaderAllocations() {
    static const bool limited = [] {
        QImageReader::setAllocationLimit(int(MaximumDecodedImageBytes / (1024 * 1024)));
        return true;
    }();
    Q_UNUSED(limited);
}

}  // namespace

QImage imageWithData(const QByteArray& data) {
    if (data.isEmpty()) return {};
    limitReaderAllocations();
    QByteArray bytes(data);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && !fitsTheLimit(size)) return {};
    QImage image = reader.read();
    if (image.isNull() || !fitsTheLimit(image.size())) return {};
    image.setDevicePixelRatio(1);
    return image;
}

}  // namespace tovrin::imaging
