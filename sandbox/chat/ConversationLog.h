#pragma once

#include <QList>
#include <QMap>
#include <QPair>
#include <QSet>
#include <QString>
#include <optional>

#include "platform/xmpp/XMPPMessage.h"

namespace tovrin::sandbox {

// A chat message as members exchanged it: the stanza's id and addresses, the body's kind, payload
// and time.
struct LoggedChatMessage {
    QString messageID;
    QString senderID;
    QString targetID;
    QString type;  // "text", "image", "map" or "block"
    QString body;
    qint64 timestamp = 0;  // milliseconds since 1970
    quint64 sequence = 0;  // order of arrival
};

// One member's conversation with another, as the conversation list shows it.
struct ConversationSummary {
    QString peerID;
    quint32 unread = 0;
    bool unreadPhoto = false;
    QList<LoggedChatMessage> lastMessages;  // the newest first
};

// What the members really exchanged on the chat server, from the messages they sent: chat
// messages, the markers that say what a member has read, the deletion markers that hide messages
// from their sender's view, and the markers that clear a whole conversation. From it the service
// builds each member's conversation list. Main thread only.
class ConversationLog {
public:
    static constexpr int lastMessageCount = 3;

    // A message a member sent, as the chat server reported it, or one the service sent itself.
    void record(const xmpp::XMPPMessage& message);
    // The viewer's conversations with at least one message left, the newest first.
    QList<ConversationSummary> conversationsFor(const QString& viewerID) const;
    // The newest chat message between the two, whoever sent it.
    std::optional<LoggedChatMessage> lastMessageBetween(const QString& first, const QString& second) const;
    // Everyone the member exchanged messages with.
    QSet<QString> peersOf(const QString& profileID) const;
    void forget(const QString& profileID);
    void clear();

private:
    // What one member did to a conversation with a peer.
    struct Marks {
        quint64 displayedThrough = 0;
        quint64 clearedThrough = 0;
        QSet<QString> deletedIDs;
    };
    using MarksKey = QPair<QString, QString>;  // viewer, peer

    void recordChatMessage(const xmpp::XMPPMessage& message, const QString& sender, const QString& target);
    void recordChatMarker(const xmpp::XMPPMessage& message, const QString& sender, const QString& target);
    void recordDeletionMarker(const xmpp::XMPPMessage& message, const QString& sender);
    std::optional<quint64> sequenceOf(const QString& messageID, const QString& sender,
                                      const QString& target) const;
    bool isVisible(const LoggedChatMessage& message, const QString& viewerID) const;
    static bool isBetween(const LoggedChatMessage& message, const QString& first, const QString& second);

    QList<LoggedChatMessage> messages_;
    QMap<MarksKey, Marks> marks_;
    quint64 lastSequence_ = 0;
};

}  // namespace tovrin::sandbox
