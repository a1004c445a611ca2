#pragma once

#include <QString>

#include "Chat/DirectedMessage.h"
#include "platform/foundation/Date.h"

namespace tovrin {

enum ChatMessageStatus : quint32 {
    ChatMessageStatusSent = 0,
    ChatMessageStatusFailed = 1,
    ChatMessageStatusReceived = 2,
};

// A message one member wrote to another. The kinds share these fields, so the interface keeps them.
class ChatMessage : public DirectedMessage {
public:
    const QString& messageID() const { return messageID_; }
    const QString& senderProfileID() const { return senderProfileID_; }
    const QString& targetProfileID() const { return targetProfileID_; }
    Date sentDate() const { return sentDate_; }
    quint32 status() const { return status_; }

    // The sender of a received message; sent and failed messages belong with their target.
    QString exchangedInConversationWithProfileID() const override {
        return status_ == ChatMessageStatusReceived ? senderProfileID_ : targetProfileID_;
    }

protected:
    ChatMessage(QString messageID, QString senderProfileID, QString targetProfileID, Date sentDate,
                quint32 status)
        : messageID_(std::move(messageID)),
          senderProfileID_(std::move(senderProfileID)),
          targetProfileID_(std::move(targetProfileID)),
          sentDate_(sentDate),
          status_(status) {}

private:
    QString messageID_;
    QString senderProfileID_;
    QString targetProfileID_;
    Date sentDate_;
    quint32 status_;
};

}  // namespace tovrin
