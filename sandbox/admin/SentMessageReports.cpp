#include "sandbox/admin/SentMessageReports.h"

#include <QJsonObject>

#include "platform/xmpp/XMPPParser.h"
#include "sandbox/chat/ChatServer.h"
#include "sandbox/chat/ConversationLog.h"
#include "sandbox/service/ServiceContext.h"
#include "sandbox/world/World.h"

namespace tovrin::sandbox {

void SentMessageReports::install(HTTPHost& host, const std::shared_ptr<ServiceContext>& context) {
    host.routeDeferred("POST", path,
                       [context](const HTTPRequest& request) { return receive(context, request); });
}

Promise<HTTPReply> SentMessageReports::receive(const std::shared_ptr<ServiceContext>& context,
                                               const HTTPRequest& request) {
    const xmpp::XMPPMessage message(xmpp::XMPPParser::elementWithXMLString(QString::fromUtf8(request.body)));
    const std::optional<xmpp::XMPPJID> sender = message.from();
    const std::optional<xmpp::XMPPJID> recipient = message.to();
    if (!message.isMessage() || !sender || !recipient)
        return Promise<HTTPReply>::resolved(HTTPReply::json(QJsonObject()));
    if (Member* member = context->world->member(sender->user())) member->lastSeen = Date::now();
    context->conversations->record(message);
    const bool toMember =
        recipient->domain() == context->chat->domain() && context->world->member(recipient->user());
    if (!toMember) return Promise<HTTPReply>::resolved(HTTPReply::json(QJsonObject()));
    return context->chat->ensureAccount(recipient->user())
        .then([] { return HTTPReply::json(QJsonObject()); })
        .catchError([](const Error&) { return HTTPReply::json(QJsonObject()); });
}

}  // namespace tovrin::sandbox
