#include "sandbox/service/NoticeEndpoints.h"

#include <QJsonArray>
#include <QJsonObject>
#include <cmath>

#include "sandbox/service/ServiceContext.h"
#include "sandbox/world/World.h"

namespace tovrin::sandbox {

namespace {

QJsonValue textOrNull(const QString& text) {
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

}  // namespace

void NoticeEndpoints::install(HTTPHost& host, const std::shared_ptr<ServiceContext>& context) {
    ServiceContext& service = *context;
    host.route("GET", "/v3/systemMessages",
               service.signedIn([](Member& member, const HTTPRequest&) { return systemMessages(member); }));
    host.route("GET", "/v3/broadcastMessages", service.signedIn([context](Member&, const HTTPRequest&) {
        return broadcastMessages(*context);
    }));
}

HTTPReply NoticeEndpoints::systemMessages(Member& member) {
    QJsonArray messages;
    for (const SystemMessage& message : std::as_const(member.systemMessages)) {
        messages.append(QJsonObject{{"messageId", message.messageID},
                                    {"type", message.type},
                                    {"message", message.message},
                                    {"mediaHash", textOrNull(message.mediaHash)}});
    }
    // The client acknowledges nothing: a notice is delivered once.
    member.systemMessages.clear();
    return HTTPReply::json(QJsonObject{{"systemMessages", messages}});
}

HTTPReply NoticeEndpoints::broadcastMessages(ServiceContext& context) {
    const Date now = Date::now();
    QJsonArray broadcasts;
    for (const Broadcast& broadcast : std::as_const(context.world->broadcasts())) {
        if (broadcast.expirationDate <= now) continue;
        broadcasts.append(QJsonObject{
            {"messageId", broadcast.messageID},
            {"title", broadcast.title},
            {"body", broadcast.body},
            {"actionTitle", textOrNull(broadcast.actionTitle)},
            {"dismissTitle", textOrNull(broadcast.dismissTitle)},
            {"expirationDate", std::round(broadcast.expirationDate.millisecondsSince1970())},
            {"url", textOrNull(broadcast.url)},
        });
    }
    return HTTPReply::json(QJsonObject{{"broadcastMessages", broadcasts}});
}

}  // namespace tovrin::sandbox
