#include "sandbox/service/ConversationEndpoints.h"

#include <QJsonArray>
#include <QJsonObject>

#include "sandbox/chat/ConversationLog.h"
#include "sandbox/service/ServiceContext.h"
#include "sandbox/service/ServiceError.h"
#include "sandbox/world/ProfileJSON.h"
#include "sandbox/world/World.h"

namespace tovrin::sandbox {

namespace {

QJsonObject messageJSON(const LoggedChatMessage& message) {
    return {{"type", message.type},
            {"messageId", message.messageID},
            {"sourceProfileId", message.senderID},
            {"targetProfileId", message.targetID},
            {"body", message.body},
            {"timestamp", message.timestamp}};
}

// A bound of the query: no item is no bound; anything but a number is malformed.
bool readBound(const HTTPRequest& request, const QString& name, std::optional<qint64>& bound) {
    const std::optional<QString> text = request.queryValue(name);
    if (!text) return true;
    bool ok = false;
    bound = text->toLongLong(&ok);
    return ok;
}

}  // namespace

void ConversationEndpoints::install(HTTPHost& host, const std::shared_ptr<ServiceContext>& context) {
    host.route("GET", "/v3/me/conversations",
               context->signedIn([context](Member& member, const HTTPRequest& request) {
                   return conversations(*context, member, request);
               }));
}

HTTPReply ConversationEndpoints::conversations(ServiceContext& context, Member& member,
                                               const HTTPRequest& request) {
    bool ok = false;
    const int quantity = request.queryValue("quantity").value_or(QString()).toInt(&ok);
    std::optional<qint64> olderThan;
    std::optional<qint64> newerThan;
    if (!ok || quantity < 1 || !readBound(request, "olderThan", olderThan) ||
        !readBound(request, "newerThan", newerThan))
        return errorReply(ServiceError::InvalidRequest);

    const Date now = Date::now();
    QJsonArray items;
    for (const ConversationSummary& summary : context.conversations->conversationsFor(member.profileID)) {
        const Member* peer = context.world->member(summary.peerID);
        const qint64 newest = summary.lastMessages.first().timestamp;
        if (peer == nullptr || context.world->isBlockedBetween(member.profileID, summary.peerID)) continue;
        if ((olderThan && newest >= *olderThan) || (newerThan && newest <= *newerThan)) continue;
        QJsonArray lastMessages;
        for (const LoggedChatMessage& message : summary.lastMessages)
            lastMessages.append(messageJSON(message));
        items.append(QJsonObject{{"profile", ProfileJSON::nearbyUser(*peer, member, now)},
                                 {"unread", qint64(summary.unread)},
                                 {"unreadPhoto", summary.unreadPhoto},
                                 {"lastMessages", lastMessages}});
        if (items.size() == quantity) break;
    }
    return HTTPReply::json(QJsonObject{{"conversations", items}});
}

}  // namespace tovrin::sandbox
