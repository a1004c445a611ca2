#pragma once

#include <QStringList>

#include "Chat/DirectedMessage.h"

namespace tovrin {

// Messages deleted from one conversation by a deletion marker.
class ChatMessageDeletion : public DirectedMessage {
public:
    ChatMessageDeletion(QStringList deletedMessageIDs, QString exchangedInConversationWithProfileID)
        : deletedMessageIDs_(std::move(deletedMessageIDs)),
          exchangedInConversationWithProfileID_(std::move(exchangedInConversationWithProfileID)) {}

    const QStringList& deletedMessageIDs() const { return deletedMessageIDs_; }
    QString exchangedInConversationWithProfileID() const override {
        return exchangedInConversationWithProfileID_;
    }

private:
    QStringList deletedMessageIDs_;
    QString exchangedInConversationWithProfileID_;
};

}  // namespace tovrin
