#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <memory>

#include "Categories/Date+Milliseconds.h"
#include "Chat/ConversationSummary.h"
#include "Chat/ImageMediaHashMessage.h"
#include "Chat/TextMessage.h"
#include "fixtures/http/LoopbackHTTPServer.h"

namespace tovrin::test {

inline const QString conversationsRequest = QStringLiteral("GET /v3/me/conversations");

// The member of the inbox tests.
inline const QString inboxMember = QStringLiteral("7");

// A moment well before the test clocks' now, so the store lists messages sent then; `second` apart.
inline Date inboxDate(double second) {
    return Date(1'600'000'000 + second);
}

inline std::shared_ptr<ChatMessage> receivedText(const QString& id, const QString& peer, Date sent) {
    return std::make_shared<TextMessage>(id, peer, inboxMember, QStringLiteral("hi"), sent,
                                         ChatMessageStatusReceived);
}
inline std::shared_ptr<ChatMessage> sentText(const QString& id, const QString& peer, Date sent) {
    return std::make_shared<TextMessage>(id, inboxMember, peer, QStringLiteral("hey"), sent,
                                         ChatMessageStatusSent);
}
inline std::shared_ptr<ChatMessage> receivedPhoto(const QString& id, const QString& peer, Date sent) {
    return std::make_shared<ImageMediaHashMessage>(id, peer, inboxMember, sent, ChatMessageStatusReceived,
                                                   QStringLiteral("hash"));
}

inline std::shared_ptr<ConversationSummary> summaryAt(const QString& peer, Date sent, quint32 unread = 0,
                                                      bool unreadPhoto = false) {
    return std::make_shared<ConversationSummary>(peer, unread, unreadPhoto,
                                                 receivedText("m-" + peer, peer, sent));
}

// One conversation item as the service sends it: the peer's last message received at `sent`.
inline QJsonObject conversationItem(const QString& peer, Date sent, int unread = 0) {
    const QJsonObject last{{"type", "text"},
                           {"messageId", "m-" + peer},
                           {"sourceProfileId", peer},
                           {"targetProfileId", inboxMember},
                           {"body", "hi"},
                           {"timestamp", tvr_millisecondsSince1970(sent)}};
    return {{"profile", QJsonObject{{"profileId", peer}, {"displayName", "Peer " + peer}}},
            {"unread", unread},
            {"lastMessages", QJsonArray{last}}};
}

inline ScriptedResponse conversationsAnswer(const QJsonArray& items) {
    return ScriptedResponse::json(
        200, QJsonDocument(QJsonObject{{"conversations", items}}).toJson(QJsonDocument::Compact));
}

}  // namespace tovrin::test
