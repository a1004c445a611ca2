#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "platform/foundation/Coordinate.h"
#include "platform/xmpp/XMPPMessage.h"

namespace tovrin {

class ChatMessage;

// What the inbox sends through the chat client. Sending only queues the stanza: whether it went,
// failed or was acknowledged is reported later through the message source.
class ChatMessageSender {
public:
    virtual ~ChatMessageSender() = default;

    virtual xmpp::XMPPMessage sendMessageWithText(const QString& text, const QString& profileID) = 0;
    virtual xmpp::XMPPMessage sendMessageWithImageMediaHash(const QString& messageID,
                                                            const QString& imageMediaHash,
                                                            const QString& profileID) = 0;
    // No location sends 0, 0.
    virtual xmpp::XMPPMessage sendMessageWithLocation(const std::optional<Coordinate>& location,
                                                      const QString& profileID) = 0;
    virtual void deleteMessages(const std::vector<std::shared_ptr<ChatMessage>>& messages,
                                const QString& profileID) = 0;
    virtual void acknowledgeMessageWithID(const QString& messageID, const QString& profileID) = 0;
    virtual void markMessageAsDisplayedWithID(const QString& messageID, const QString& profileID) = 0;
};

}  // namespace tovrin
