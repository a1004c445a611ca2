#pragma once

#include <QImage>
#include <optional>

#include "Chat/ChatMessage.h"

namespace tovrin {

// A photo the member picked whose upload failed; it lives only in memory, in its conversation.
class FailedToSendImageMessage : public ChatMessage {
public:
    FailedToSendImageMessage(QString messageID, QString senderProfileID, QString targetProfileID,
                             Date sentDate, quint32 status, QImage image)
        : ChatMessage(std::move(messageID), std::move(senderProfileID), std::move(targetProfileID), sentDate,
                      status),
          image_(std::move(image)) {}

    const QImage& image() const { return image_; }

    // A settable peer, absent (the empty text) unless set; nothing asks for it.
    QString exchangedInConversationWithProfileID() const override {
        return exchangedInConversationWithProfileID_.value_or(QString());
    }
    void setExchangedInConversationWithProfileID(std::optional<QString> profileID) {
        exchangedInConversationWithProfileID_ = std::move(profileID);
    }

private:
    QImage image_;
    std::optional<QString> exchangedInConversationWithProfileID_;
};

}  // namespace tovrin
