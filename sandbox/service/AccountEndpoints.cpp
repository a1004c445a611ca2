#include "sandbox/service/AccountEndpoints.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>

#include "sandbox/chat/ChatServer.h"
#include "sandbox/service/ServiceContext.h"
#include "sandbox/service/ServiceError.h"
#include "sandbox/world/World.h"

namespace tovrin::sandbox {

namespace {

constexpr int minimumPasswordLength = 6;
constexpr int minimumAge = 18;

QJsonArray hostEntry(const QUrl& url) {
    return {QJsonObject{{"host", url.host()}, {"port", url.port()}, {"protocol", url.scheme()}}};
}

bool isEmailAddress(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^[^@\\s]+@[^@\\s]+$"));
    return form.match(text).hasMatch();
}

}  // namespace

void AccountEndpoints::install(HTTPHost& host, const std::shared_ptr<ServiceContext>& context) {
    ServiceContext& service = *context;
    host.route("GET", "/v3/bootstrap",
               [context](const HTTPRequest& request) { return bootstrap(*context, request); });
    host.routeDeferred("POST", "/v3/sessions",
                       [context](const HTTPRequest& request) { return signIn(context, request); });
    host.routeDeferred("POST", "/v3/users",
                       [context](const HTTPRequest& request) { return signUp(context, request); });
    host.routeDeferred("POST", "/v3/users/email",
                       service.signedInDeferred([context](Member& member, const HTTPRequest& request) {
                           return changeEmail(context, member, request);
                       }));
    host.routeDeferred("POST", "/v3/users/update-password",
                       service.signedInDeferred([context](Member& member, const HTTPRequest& request) {
                           return changePassword(context, member, request);
                       }));
    host.route("GET", "/v3/managed-fields", [context](const HTTPRequest&) {
        return HTTPReply::json(context->world->managedFieldsJSON());
    });
    host.route("POST", "/v3/ios-push-tokens", service.signedIn(&registerPushToken));
    host.route("DELETE", "/v3/push-tokens/{}",
               service.signedIn([](Member& member, const HTTPRequest& request) {
                   member.pushTokens.remove(request.arguments[0].toLower());
                   return HTTPReply::json(QJsonObject());
               }));
}

HTTPReply AccountEndpoints::bootstrap(ServiceContext& context, const HTTPRequest& request) {
    // The signed-in client asks with its session; a stale one is refused, so that it renews.
    if (request.header("Authorization")) {
        std::optional<HTTPReply> refusal;
        if (!context.signedInMember(request, refusal)) return *refusal;
    }
    const QJsonObject chat{{"protocol", "xmpp"},
                           {"host", context.chat->host()},
                           {"port", 5222},
                           {"domain", context.options.chatDomain}};
    const QJsonObject services{
        {"chat", QJsonArray{chat}},
        {"media", hostEntry(context.mediaURL)},
        {"upload", hostEntry(context.uploadURL)},
        {"web", hostEntry(context.webURL)},
        {"authenticationWeb", hostEntry(context.authenticationWebURL)},
    };
    const QJsonObject configuration{
        {"serverTime", Date::now().millisecondsSince1970()},
        {"app", QJsonObject{{"maxCascadePages", context.options.maxCascadePages}}}};
    return HTTPReply::json(QJsonObject{{"services", services}, {"configuration", configuration}});
}

Promise<HTTPReply> AccountEndpoints::openSession(const std::shared_ptr<ServiceContext>& context,
                                                 Member& member) {
    member.xmppToken = World::randomToken();
    const QJsonObject answer{{"profileId", member.profileID.toLongLong()},
                             {"sessionId", context->world->startSession(member.profileID)},
                             {"xmppToken", member.xmppToken}};
    return context->chat->setPassword(member.profileID, member.xmppToken)
        .then([answer] { return HTTPReply::json(answer); })
        .catchError([](const Error& error) {
            return HTTPReply::json(
                QJsonObject{{"code", 0}, {"message", "The chat server failed: " + error.description()}}, 503);
        });
}

Promise<HTTPReply> AccountEndpoints::signIn(const std::shared_ptr<ServiceContext>& context,
                                            const HTTPRequest& request) {
    const QJsonObject body = request.jsonBody().value_or(QJsonObject());
    const QString email = body.value("email").toString();
    const QString password = body.value("password").toString();
    if (email.isEmpty() || password.isEmpty())
        return Promise<HTTPReply>::resolved(errorReply(ServiceError::InvalidRequest));
    Member* member = context->world->memberWithEmail(email);
    if (member == nullptr || member->password != password)
        return Promise<HTTPReply>::resolved(errorReply(ServiceError::InvalidCredentials));
    if (member->isBanned) return Promise<HTTPReply>::resolved(errorReply(ServiceError::Banned));
    member->lastSeen = Date::now();
    return openSession(context, *member);
}

Promise<HTTPReply> AccountEndpoints::signUp(const std::shared_ptr<ServiceContext>& context,
                                            const HTTPRequest& request) {
    const QJsonObject body = request.jsonBody().value_or(QJsonObject());
    const QString email = body.value("email").toString();
    const QString password = body.value("password").toString();
    const Date birthday = Date::fromMillisecondsSince1970(body.value("birthday").toDouble());
    Member member;
    member.birthday = birthday;
    const Date now = Date::now();
    if (!isEmailAddress(email) || password.size() < minimumPasswordLength ||
        !body.value("birthday").isDouble() || member.age(now) < minimumAge) {
        return Promise<HTTPReply>::resolved(errorReply(ServiceError::InvalidRequest));
    }
    if (context->world->memberWithEmail(email))
        return Promise<HTTPReply>::resolved(errorReply(ServiceError::EmailInUse));
    member.profileID = context->world->nextProfileID();
    member.email = email;
    member.password = password;
    member.optIn = body.value("optIn").toBool();
    member.displayName = email.section(QLatin1Char('@'), 0, 0);
    member.position = context->options.defaultPosition;
    member.lastSeen = now;
    return openSession(context, context->world->addMember(std::move(member)));
}

Promise<HTTPReply> AccountEndpoints::changeEmail(const std::shared_ptr<ServiceContext>& context,
                                                 Member& member, const HTTPRequest& request) {
    const QJsonObject body = request.jsonBody().value_or(QJsonObject());
    const QString newEmail = body.value("newEmail").toString();
    if (body.value("password").toString() != member.password)
        return Promise<HTTPReply>::resolved(errorReply(ServiceError::PasswordIncorrect));
    if (!isEmailAddress(newEmail))
        return Promise<HTTPReply>::resolved(errorReply(ServiceError::InvalidRequest));
    const Member* owner = context->world->memberWithEmail(newEmail);
    if (owner != nullptr && owner->profileID != member.profileID)
        return Promise<HTTPReply>::resolved(errorReply(ServiceError::EmailInUse));
    member.email = newEmail;
    return openSession(context, member);
}

Promise<HTTPReply> AccountEndpoints::changePassword(const std::shared_ptr<ServiceContext>& context,
                                                    Member& member, const HTTPRequest& request) {
    const QJsonObject body = request.jsonBody().value_or(QJsonObject());
    const QString newPassword = body.value("newPassword").toString();
    if (body.value("oldPassword").toString() != member.password)
        return Promise<HTTPReply>::resolved(errorReply(ServiceError::PasswordIncorrect));
    if (newPassword.size() < minimumPasswordLength)
        return Promise<HTTPReply>::resolved(errorReply(ServiceError::InvalidRequest));
    member.password = newPassword;
    return openSession(context, member);
}

HTTPReply AccountEndpoints::registerPushToken(Member& member, const HTTPRequest& request) {
    const QJsonObject body = request.jsonBody().value_or(QJsonObject());
    const QString token = body.value("token").toString().toLower();
    static const QRegularExpression hexadecimal(QStringLiteral("^([0-9a-f]{2})+$"));
    if (!hexadecimal.match(token).hasMatch()) return errorReply(ServiceError::InvalidRequest);
    member.pushTokens.insert(token, body.value("vendorProvidedIdentifier").toString());
    return HTTPReply::json(QJsonObject());
}

}  // namespace tovrin::sandbox
