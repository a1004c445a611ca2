#pragma once

#include <QJsonObject>
#include <QString>
#include <memory>
#include <optional>

#include "Chat/ChatMessage.h"
#include "platform/xmpp/XMPPMessage.h"

namespace tovrin {

// Reads a chat stanza back into a chat message. The stanza's addresses and id name the members and
// the message, whatever the body says; the body gives the kind, the sent time and the payload.
// Members of unexpected JSON types never fail the reader: they read as absent.
class XMPPMessageInterpreter {
public:
    // No reader for a stanza without id, without body text, or whose body is not a JSON object.
    static std::optional<XMPPMessageInterpreter> interpreterWithXMPPMessage(const xmpp::XMPPMessage& message);

    const QString& senderProfileID() const { return senderProfileID_; }
    const QString& targetProfileID() const { return targetProfileID_; }
    const QString& messageID() const { return messageID_; }
    Date sentDate() const { return sentDate_; }
    // Absent when the body has no "type" string.
    const std::optional<QString>& messageType() const { return messageType_; }
    const QJsonObject& tovrinBodyDictionary() const { return tovrinBodyDictionary_; }

    // The message of the kind "type" names ("text", "image", "map", "block"); null for any other.
    std::shared_ptr<ChatMessage> chatMessageWithStatus(quint32 status) const;

private:
    XMPPMessageInterpreter() = default;

    std::shared_ptr<ChatMessage> textMessage(quint32 status) const;
    std::shared_ptr<ChatMessage> imageMessage(quint32 status) const;
    std::shared_ptr<ChatMessage> locationMessage(quint32 status) const;
    std::shared_ptr<ChatMessage> blockMessage(quint32 status) const;

    QString senderProfileID_;
    QString targetProfileID_;
    QString messageID_;
    Date sentDate_;
    std::optional<QString> messageType_;
    QJsonObject tovrinBodyDictionary_;
};

}  // namespace tovrin
