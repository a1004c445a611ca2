#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "platform/foundation/Coordinate.h"
#include "platform/xmpp/XMPPMessage.h"

namespace tovrin::sandbox {

// The content of a chat message's JSON body.
struct ChatBody {
    QString type;  // "text", "image", "map" or "block"
    QString body;  // the text, or the JSON text of {"imageHash"} or {"lat", "lon"}
    qint64 timestamp = 0;
};

// The chat stanzas of the service, as the client writes and reads them: chat messages with their
// JSON body, chat markers and deletion markers.
class ChatStanzas {
public:
    static inline const QString deletionMarkerNamespace = QStringLiteral("urn:tovrin:delete-marker:0");
    static inline const QString hintsNamespace = QStringLiteral("urn:xmpp:hints");

    // A "chat" message with the JSON body ("sourceProfileId", "sourceDisplayName",
    // "targetProfileId", "messageId", "timestamp", "type", "body") and the markable marker.
    static xmpp::XMPPMessage chatMessage(const QString& messageID, const QString& senderID,
                                         const QString& targetID, const QString& domain,
                                         const ChatBody& content);
    static QString imageBody(const QString& mediaHash);
    static QString locationBody(const Coordinate& position);
    // The body of a chat message with an id; nothing for any other stanza.
    static std::optional<ChatBody> readChatBody(const xmpp::XMPPMessage& message);
    // The ids a deletion marker lists and the address of the conversation's peer.
    static std::optional<QPair<QString, QStringList>> readDeletionMarker(const xmpp::XMPPMessage& message);
    // Asks the archive to keep a message that has no body.
    static void addStoreHint(xmpp::XMPPMessage& message);
};

}  // namespace tovrin::sandbox
