#pragma once

#include "Chat/ChatMessage.h"

namespace tovrin {

// The sender blocked the target. A chat message by its interface, yet never on a chat-message path.
class BlockMessage : public ChatMessage {
public:
    BlockMessage(QString messageID, QString senderProfileID, QString targetProfileID, Date sentDate,
                 quint32 status)
        : ChatMessage(std::move(messageID), std::move(senderProfileID), std::move(targetProfileID), sentDate,
                      status) {}

    QString description() const {
        return QStringLiteral("<BlockMessage: id: %1, to: %2, from: %3>")
            .arg(messageID(), targetProfileID(), senderProfileID());
    }
};

}  // namespace tovrin
