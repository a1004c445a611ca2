#include "Chat/ChatMarkers.h"

#include "Chat/ChatConversationDeletionMessage.h"
#include "Chat/ChatMessageAcknowledgement.h"
#include "platform/xmpp/TovrinDeletion/XMPPMessage+TovrinDeletion.h"
#include "platform/xmpp/XEP-0333/XMPPMessage+ChatMarkers.h"

namespace tovrin {

namespace {

QString senderProfileID(const xmpp::XMPPMessage& message, const QString& currentUserProfileID) {
    const auto from = message.from();
    return from && !from->user().isEmpty() ? from->user() : currentUserProfileID;
}

}  // namespace

std::optional<QString> ChatMarkers::markerID(const xmpp::XMPPMessage& message) {
    const QString markerID = xmpp::chatMarkerID(message);
    return markerID.isEmpty() ? std::nullopt : std::optional<QString>(markerID);
}

bool ChatMarkers::isAcknowledgedMarker(const xmpp::XMPPMessage& message) {
    return xmpp::hasAcknowledgedChatMarker(message);
}

bool ChatMarkers::isReceivedMarker(const xmpp::XMPPMessage& message) {
    return xmpp::hasReceivedChatMarker(message);
}

QString ChatMarkers::exchangedInConversationWithProfileID(const xmpp::XMPPMessage& message,
                                                          const QString& currentUserProfileID) {
    const QString sender = senderProfileID(message, currentUserProfileID);
    if (sender != currentUserProfileID) return sender;
    const auto to = message.to();
    return to ? to->user() : QString();
}

std::shared_ptr<DirectedMessage> ChatMarkers::directedMessageFromMarkableXMPPMessage(
    const xmpp::XMPPMessage& message, const QString& currentUserProfileID) {
    const auto id = markerID(message);
    if (!id) return nullptr;
    const QString partner = exchangedInConversationWithProfileID(message, currentUserProfileID);
    if (isAcknowledgedMarker(message)) return std::make_shared<ChatConversationDeletionMessage>(*id, partner);
    const quint32 type = isReceivedMarker(message) ? ChatMessageAcknowledgementTypeReceived
                                                   : ChatMessageAcknowledgementTypeDisplayed;
    return std::make_shared<ChatMessageAcknowledgement>(*id, partner,
                                                        senderProfileID(message, currentUserProfileID), type);
}

std::shared_ptr<ChatMessageDeletion> ChatMarkers::deletionFromXMPPMessage(const xmpp::XMPPMessage& message) {
    if (!xmpp::isDeletionMessage(message)) return nullptr;
    const auto partner = xmpp::deletedMessageTargetUserJID(message);
    if (!partner || partner->user().isEmpty()) return nullptr;
    return std::make_shared<ChatMessageDeletion>(xmpp::deletedMessageIDs(message), partner->user());
}

}  // namespace tovrin
