#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "Chat/ChatMessageDeletion.h"
#include "Chat/DirectedMessage.h"
#include "platform/xmpp/XMPPMessage.h"

namespace tovrin {

// How the chat client reads the chat markers and deletion markers of a stanza, live or archived.
// Who may send them (the member's own address, the archive's) is the chat client's to check.
class ChatMarkers {
public:
    // The "id" of the last child in the chat-markers namespace; none when that child has no id, or
    // an empty one. Only a stanza with a marker id carries a chat marker.
    static std::optional<QString> markerID(const xmpp::XMPPMessage& message);
    static bool carriesChatMarker(const xmpp::XMPPMessage& message) { return markerID(message).has_value(); }
    static bool isAcknowledgedMarker(const xmpp::XMPPMessage& message);
    static bool isReceivedMarker(const xmpp::XMPPMessage& message);

    // The other member: the receiver of what the member sent, else the sender. A stanza without a
    // sender's local part (the client's own outgoing ones) counts as the member's.
    static QString exchangedInConversationWithProfileID(const xmpp::XMPPMessage& message,
                                                        const QString& currentUserProfileID);

    // An acknowledged marker deletes the conversation up to the marked message; a received marker is
    // an acknowledgement of type 1, any other marker of type 2. Null for a stanza without a marker.
    static std::shared_ptr<DirectedMessage> directedMessageFromMarkableXMPPMessage(
        const xmpp::XMPPMessage& message, const QString& currentUserProfileID);

    // The deletion a deletion marker records; null when it is none or names no partner, as such a
    // deletion belongs to no conversation.
    static std::shared_ptr<ChatMessageDeletion> deletionFromXMPPMessage(const xmpp::XMPPMessage& message);
};

}  // namespace tovrin
