#include "sandbox/chat/ConversationLog.h"

#include <algorithm>

#include "platform/foundation/Date.h"
#include "platform/xmpp/XEP-0333/XMPPMessage+ChatMarkers.h"
#include "sandbox/chat/ChatStanzas.h"

namespace tovrin::sandbox {

namespace {

const QStringList loggedTypes = {"text", "image", "map", "block"};

QString userOf(const std::optional<xmpp::XMPPJID>& address) {
    return address ? address->user() : QString();
}

}  // namespace

void ConversationLog::record(const xmpp::XMPPMessage& message) {
    const QString sender = userOf(message.from());
    const QString target = userOf(message.to());
    if (sender.isEmpty() || target.isEmpty()) return;
    if (message.isChatMessage() && message.isMessageWithBody()) {
        recordChatMessage(message, sender, target);
    } else if (!xmpp::chatMarkerID(message).isEmpty()) {
        recordChatMarker(message, sender, target);
    } else if (sender == target) {
        recordDeletionMarker(message, sender);
    }
}

void ConversationLog::recordChatMessage(const xmpp::XMPPMessage& message, const QString& sender,
                                        const QString& target) {
    const std::optional<ChatBody> content = ChatStanzas::readChatBody(message);
    if (!content || !loggedTypes.contains(content->type)) return;
    if (sequenceOf(message.elementID(), sender, target)) return;  // sent again
    const qint64 timestamp =
        content->timestamp > 0 ? content->timestamp : qint64(Date::now().millisecondsSince1970());
    messages_.append(
        {message.elementID(), sender, target, content->type, content->body, timestamp, ++lastSequence_});
}

void ConversationLog::recordChatMarker(const xmpp::XMPPMessage& message, const QString& sender,
                                       const QString& target) {
    const QString markedID = xmpp::chatMarkerID(message);
    if (xmpp::hasDisplayedChatMarker(message)) {
        // The sender has read the target's messages up to the marked one.
        if (const auto sequence = sequenceOf(markedID, target, sender)) {
            Marks& marks = marks_[{sender, target}];
            marks.displayedThrough = std::max(marks.displayedThrough, *sequence);
        }
    } else if (xmpp::hasAcknowledgedChatMarker(message)) {
        // The target's conversation with the sender is cleared up to the marked message.
        std::optional<quint64> sequence = sequenceOf(markedID, sender, target);
        if (!sequence) sequence = sequenceOf(markedID, target, sender);
        if (sequence) {
            Marks& marks = marks_[{target, sender}];
            marks.clearedThrough = std::max(marks.clearedThrough, *sequence);
        }
    }
}

void ConversationLog::recordDeletionMarker(const xmpp::XMPPMessage& message, const QString& sender) {
    const auto marker = ChatStanzas::readDeletionMarker(message);
    if (!marker) return;
    const QString peer = userOf(xmpp::XMPPJID::jidWithString(marker->first));
    if (peer.isEmpty()) return;
    for (const QString& id : marker->second) marks_[{sender, peer}].deletedIDs.insert(id);
}

std::optional<quint64> ConversationLog::sequenceOf(const QString& messageID, const QString& sender,
                                                   const QString& target) const {
    for (const LoggedChatMessage& message : messages_) {
        if (message.messageID == messageID && message.senderID == sender && message.targetID == target)
            return message.sequence;
    }
    return std::nullopt;
}

bool ConversationLog::isBetween(const LoggedChatMessage& message, const QString& first,
                                const QString& second) {
    return (message.senderID == first && message.targetID == second) ||
           (message.senderID == second && message.targetID == first);
}

bool ConversationLog::isVisible(const LoggedChatMessage& message, const QString& viewerID) const {
    if (message.type == QLatin1String("block")) return false;
    const QString peer = message.senderID == viewerID ? message.targetID : message.senderID;
    const Marks marks = marks_.value({viewerID, peer});
    return message.sequence > marks.clearedThrough && !marks.deletedIDs.contains(message.messageID);
}

QList<ConversationSummary> ConversationLog::conversationsFor(const QString& viewerID) const {
    QMap<QString, ConversationSummary> byPeer;
    // Newest first, so that the first messages met are the last messages of each conversation.
    for (auto message = messages_.crbegin(); message != messages_.crend(); ++message) {
        if (message->senderID != viewerID && message->targetID != viewerID) continue;
        if (!isVisible(*message, viewerID)) continue;
        const QString peer = message->senderID == viewerID ? message->targetID : message->senderID;
        ConversationSummary& summary = byPeer[peer];
        summary.peerID = peer;
        if (summary.lastMessages.size() < lastMessageCount) summary.lastMessages.append(*message);
        if (message->senderID == peer &&
            message->sequence > marks_.value({viewerID, peer}).displayedThrough) {
            ++summary.unread;
            summary.unreadPhoto = summary.unreadPhoto || message->type == QLatin1String("image");
        }
    }
    QList<ConversationSummary> conversations = byPeer.values();
    std::sort(conversations.begin(), conversations.end(), [](const auto& a, const auto& b) {
        const LoggedChatMessage& newestA = a.lastMessages.first();
        const LoggedChatMessage& newestB = b.lastMessages.first();
        if (newestA.timestamp != newestB.timestamp) return newestA.timestamp > newestB.timestamp;
        return newestA.sequence > newestB.sequence;
    });
    return conversations;
}

std::optional<LoggedChatMessage> ConversationLog::lastMessageBetween(const QString& first,
                                                                     const QString& second) const {
    for (auto message = messages_.crbegin(); message != messages_.crend(); ++message) {
        if (isBetween(*message, first, second) && message->type != QLatin1String("block")) return *message;
    }
    return std::nullopt;
}

QSet<QString> ConversationLog::peersOf(const QString& profileID) const {
    QSet<QString> peers;
    for (const LoggedChatMessage& message : messages_) {
        if (message.senderID == profileID) peers.insert(message.targetID);
        if (message.targetID == profileID) peers.insert(message.senderID);
    }
    return peers;
}

void ConversationLog::forget(const QString& profileID) {
    messages_.removeIf([&](const LoggedChatMessage& message) {
        return message.senderID == profileID || message.targetID == profileID;
    });
    marks_.removeIf(
        [&](const auto& entry) { return entry.key().first == profileID || entry.key().second == profileID; });
}

void ConversationLog::clear() {
    messages_.clear();
    marks_.clear();
}

}  // namespace tovrin::sandbox
