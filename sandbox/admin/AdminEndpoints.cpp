#include "sandbox/admin/AdminEndpoints.h"

#include <QJsonArray>
#include <QJsonObject>

#include "sandbox/Sandbox.h"
#include "sandbox/chat/ChatServer.h"
#include "sandbox/service/Moderator.h"
#include "sandbox/service/ServiceContext.h"
#include "sandbox/service/ServiceError.h"
#include "sandbox/world/World.h"
#include "sandbox/world/WorldSeed.h"

namespace tovrin::sandbox {

namespace {

constexpr double defaultBroadcastLifetime = 86400;

HTTPReply done() {
    return HTTPReply::json(QJsonObject());
}

HTTPReply sandboxGone() {
    return HTTPReply::json(QJsonObject{{"code", 0}, {"message", "The sandbox has stopped."}}, 503);
}

QJsonArray textArray(const QStringList& texts) {
    return QJsonArray::fromStringList(texts);
}

}  // namespace

void AdminEndpoints::install(HTTPHost& host, const std::weak_ptr<Sandbox>& sandbox,
                             const std::shared_ptr<ServiceContext>& context) {
    host.route("GET", "/admin", [sandbox](const HTTPRequest&) {
        const std::shared_ptr<Sandbox> running = sandbox.lock();
        return running ? overview(*running) : sandboxGone();
    });
    host.route("GET", "/admin/members", [context](const HTTPRequest& request) {
        const Member* member =
            context->world->memberWithEmail(request.queryValue("email").value_or(QString()));
        return member ? HTTPReply::json(QJsonObject{{"profileId", member->profileID}})
                      : errorReply(ServiceError::NotFound);
    });
    installMemberActions(host, sandbox, context);
    installServiceSwitches(host, sandbox, context);
}

HTTPHost::Handler AdminEndpoints::forMember(const std::shared_ptr<ServiceContext>& context,
                                            MemberAction action) {
    return [context, action = std::move(action)](const HTTPRequest& request) {
        Member* member = context->world->member(request.arguments[0]);
        return member ? action(*member, request) : errorReply(ServiceError::NotFound);
    };
}

void AdminEndpoints::installMemberActions(HTTPHost& host, const std::weak_ptr<Sandbox>& sandbox,
                                          const std::shared_ptr<ServiceContext>& context) {
    host.route("GET", "/admin/members/{}", forMember(context, [context](Member& member, const HTTPRequest&) {
                   return memberState(*context, member);
               }));
    host.route("POST", "/admin/members/{}/ban",
               forMember(context, [context](Member& member, const HTTPRequest&) {
                   return ban(*context, member, true);
               }));
    host.route("POST", "/admin/members/{}/unban",
               forMember(context, [context](Member& member, const HTTPRequest&) {
                   return ban(*context, member, false);
               }));
    host.route("POST", "/admin/members/{}/expire-sessions",
               forMember(context, [context](Member& member, const HTTPRequest&) {
                   context->world->endSessions(member.profileID);
                   return done();
               }));
    // As the chat server would end them (an administrator, a server restart): a forced disconnection.
    host.routeDeferred("POST", "/admin/members/{}/chat-disconnect", [context](const HTTPRequest& request) {
        const Member* member = context->world->member(request.arguments[0]);
        if (!member) return Promise<HTTPReply>::resolved(errorReply(ServiceError::NotFound));
        return context->chat->closeSessions(member->profileID)
            .then([] { return done(); })
            .catchError([](const Error& error) {
                return HTTPReply::json(QJsonObject{{"code", 0}, {"message", error.description()}}, 500);
            });
    });
    host.route("POST", "/admin/members/{}/system-messages",
               forMember(context, [](Member& member, const HTTPRequest& request) {
                   const QJsonObject body = request.jsonBody().value_or(QJsonObject());
                   member.systemMessages.append({World::randomToken().left(16), body.value("type").toString(),
                                                 body.value("message").toString(),
                                                 body.value("mediaHash").toString()});
                   return done();
               }));
    host.route("POST", "/admin/members/{}/messages",
               forMember(context, [sandbox](Member& member, const HTTPRequest& request) {
                   const std::shared_ptr<Sandbox> running = sandbox.lock();
                   return running ? sendMessage(*running, member, request) : sandboxGone();
               }));
}

void AdminEndpoints::installServiceSwitches(HTTPHost& host, const std::weak_ptr<Sandbox>& sandbox,
                                            const std::shared_ptr<ServiceContext>& context) {
    host.route("POST", "/admin/client-deprecated", [context](const HTTPRequest& request) {
        context->world->setClientDeprecated(
            request.jsonBody().value_or(QJsonObject()).value("deprecated").toBool());
        return done();
    });
    host.route("POST", "/admin/server-errors", [context](const HTTPRequest& request) {
        const QJsonObject body = request.jsonBody().value_or(QJsonObject());
        const int status = body.value("status").toInt(503);
        if (status < 500 || status > 599 || !body.value("path").isString())
            return errorReply(ServiceError::InvalidRequest);
        context->injectedFailures.append({body.value("method").toString().toUpper().toLatin1(),
                                          body.value("path").toString(), status,
                                          body.value("count").toInt(-1)});
        return done();
    });
    host.route("DELETE", "/admin/server-errors", [context](const HTTPRequest&) {
        context->injectedFailures.clear();
        return done();
    });
    host.route("POST", "/admin/managed-fields", [context](const HTTPRequest& request) {
        const QJsonValue fields = request.jsonBody().value_or(QJsonObject()).value("fields");
        if (!fields.isObject()) return errorReply(ServiceError::InvalidRequest);
        context->world->setManagedFields(fields.toObject());
        return done();
    });
    host.route("DELETE", "/admin/managed-fields", [context](const HTTPRequest&) {
        context->world->setManagedFields(std::nullopt);
        return done();
    });
    host.route("POST", "/admin/certificate", [sandbox](const HTTPRequest& request) {
        const std::shared_ptr<Sandbox> running = sandbox.lock();
        if (!running) return sandboxGone();
        running->presentMatchingCertificate(
            request.jsonBody().value_or(QJsonObject()).value("matching").toBool(true));
        return done();
    });
    host.route("POST", "/admin/photos/{}/approve", [context](const HTTPRequest& request) {
        return context->moderator->approve(request.arguments[0]) ? done()
                                                                 : errorReply(ServiceError::NotFound);
    });
    host.route("POST", "/admin/photos/{}/reject", [context](const HTTPRequest& request) {
        return context->moderator->reject(request.arguments[0]) ? done() : errorReply(ServiceError::NotFound);
    });
    host.route("POST", "/admin/broadcasts",
               [context](const HTTPRequest& request) { return addBroadcast(*context, request); });
    host.routeDeferred("POST", "/admin/reset", [sandbox](const HTTPRequest& request) {
        const std::shared_ptr<Sandbox> running = sandbox.lock();
        if (!running) return Promise<HTTPReply>::resolved(sandboxGone());
        const QJsonValue seed = request.jsonBody().value_or(QJsonObject()).value("seed");
        return running->reset(seed.isDouble() ? quint64(seed.toInteger()) : running->options().seed)
            .then([] { return done(); })
            .catchError([](const Error& error) {
                return HTTPReply::json(QJsonObject{{"code", 0}, {"message", error.description()}}, 500);
            });
    });
}

HTTPReply AdminEndpoints::overview(Sandbox& sandbox) {
    const QJsonObject hosts{{"web", sandbox.webURL().toString()},
                            {"media", sandbox.mediaURL().toString()},
                            {"upload", sandbox.uploadURL().toString()},
                            {"authenticationWeb", sandbox.authenticationWebURL().toString()},
                            {"admin", sandbox.adminURL().toString()}};
    const QJsonObject chat{{"host", sandbox.chatHost()}, {"port", 5222}, {"domain", sandbox.chatDomain()}};
    const QJsonObject demo{{"email", WorldSeed::demoEmail}, {"password", WorldSeed::memberPassword}};
    return HTTPReply::json(QJsonObject{{"hosts", hosts},
                                       {"chat", chat},
                                       {"demoMember", demo},
                                       {"certificateAuthorityFile", Sandbox::certificateAuthorityFile()}});
}

HTTPReply AdminEndpoints::memberState(ServiceContext& context, const Member& member) {
    QJsonArray phrases;
    for (const SavedPhrase& phrase : member.phrases)
        phrases.append(QJsonObject{{"phraseId", phrase.phraseID}, {"text", phrase.text}});
    QJsonObject pushTokens;
    for (auto token = member.pushTokens.cbegin(); token != member.pushTokens.cend(); ++token)
        pushTokens.insert(token.key(), token.value());
    QJsonArray systemMessages;
    for (const SystemMessage& message : member.systemMessages) systemMessages.append(message.type);
    QJsonArray reports;
    for (const Report& report : context.world->reports()) {
        if (report.reporterID == member.profileID)
            reports.append(QJsonObject{
                {"profileId", report.reportedID}, {"reason", report.reason}, {"comment", report.comment}});
    }
    return HTTPReply::json(QJsonObject{
        {"profileId", member.profileID},
        {"email", member.email},
        {"displayName", member.displayName},
        {"mediaHash", member.mediaHash},
        {"isBanned", member.isBanned},
        {"isAnswering", member.isAnswering},
        {"favorites", textArray(member.favorites)},
        {"blocks", textArray(member.blocks.values())},
        {"phrases", phrases},
        {"chatPhotos", textArray(member.chatPhotos)},
        {"pushTokens", pushTokens},
        {"pendingSystemMessages", systemMessages},
        {"photosAwaitingModeration",
         textArray(context.world->photosAwaitingModeration().keys(member.profileID))},
        {"reports", reports},
    });
}

// A banned member's requests are refused with code 27, and the chat server no longer lets the
// member in: the chat token the member holds stops working, so the client's renewal meets the ban.
HTTPReply AdminEndpoints::ban(ServiceContext& context, Member& member, bool banned) {
    member.isBanned = banned;
    if (banned) {
        member.xmppToken = World::randomToken();
        context.chat->setPassword(member.profileID, member.xmppToken);
        context.chat->closeSessions(member.profileID);
    }
    return done();
}

HTTPReply AdminEndpoints::sendMessage(Sandbox& sandbox, Member& member, const HTTPRequest& request) {
    const QJsonObject body = request.jsonBody().value_or(QJsonObject());
    const std::optional<QString> messageID = sandbox.sendMessage(
        member.profileID, body.value("to").toString(), body.value("type").toString("text"),
        body.value("text").toString(QStringLiteral("Hello!")));
    if (!messageID) return errorReply(ServiceError::InvalidRequest);
    return HTTPReply::json(QJsonObject{{"messageId", *messageID}});
}

HTTPReply AdminEndpoints::addBroadcast(ServiceContext& context, const HTTPRequest& request) {
    const QJsonObject body = request.jsonBody().value_or(QJsonObject());
    if (body.value("title").toString().isEmpty()) return errorReply(ServiceError::InvalidRequest);
    const Broadcast broadcast{
        World::randomToken().left(16),
        body.value("title").toString(),
        body.value("body").toString(),
        body.value("actionTitle").toString(),
        body.value("dismissTitle").toString(),
        Date::now().addingTimeInterval(body.value("expiresIn").toDouble(defaultBroadcastLifetime)),
        body.value("url").toString()};
    context.world->broadcasts().append(broadcast);
    return HTTPReply::json(QJsonObject{{"messageId", broadcast.messageID}});
}

}  // namespace tovrin::sandbox
