#pragma once

#include <QSizeF>

#include "Chat/ArchivableChatMessage.h"

namespace tovrin {

// A photo message: the photo's media hash on the media host.
class ImageMediaHashMessage : public ArchivableChatMessage {
public:
    ImageMediaHashMessage(QString messageID, QString senderProfileID, QString targetProfileID, Date sentDate,
                          quint32 status, QString imageMediaHash, bool didReceiveFromXMPP = false)
        : ArchivableChatMessage(std::move(messageID), std::move(senderProfileID), std::move(targetProfileID),
                                sentDate, status, didReceiveFromXMPP),
          imageMediaHash_(std::move(imageMediaHash)) {}

    const QString& imageMediaHash() const { return imageMediaHash_; }

    // Pixels; 1 × 1 until the image prefetch has the photo. The one field that changes after
    // creation, on the main thread.
    QSizeF imageSize() const { return imageSize_; }
    void setImageSize(QSizeF size) { imageSize_ = size; }

private:
    QString imageMediaHash_;
    QSizeF imageSize_{1.0, 1.0};
};

}  // namespace tovrin
