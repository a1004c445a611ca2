#pragma once

#include "Chat/DirectedMessage.h"

namespace tovrin {

// The deletion of a whole conversation, reported by an "acknowledged" chat marker.
class ChatConversationDeletionMessage : public DirectedMessage {
public:
    ChatConversationDeletionMessage(QString deletionMessageID, QString exchangedInConversationWithProfileID)
        : deletionMessageID_(std::move(deletionMessageID)),
          exchangedInConversationWithProfileID_(std::move(exchangedInConversationWithProfileID)) {}

    // The message id that the deleting chat marker names.
    const QString& deletionMessageID() const { return deletionMessageID_; }
    QString exchangedInConversationWithProfileID() const override {
        return exchangedInConversationWithProfileID_;
    }

private:
    QString deletionMessageID_;
    QString exchangedInConversationWithProfileID_;
};

}  // namespace tovrin
