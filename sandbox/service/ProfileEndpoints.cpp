#include "sandbox/service/ProfileEndpoints.h"

#include <QJsonArray>
#include <QJsonObject>

#include "platform/xmpp/XEP-0333/XMPPMessage+ChatMarkers.h"
#include "sandbox/chat/ChatServer.h"
#include "sandbox/chat/ChatStanzas.h"
#include "sandbox/chat/ConversationLog.h"
#include "sandbox/service/Moderator.h"
#include "sandbox/service/ServiceContext.h"
#include "sandbox/service/ServiceError.h"
#include "sandbox/world/ProfileJSON.h"
#include "sandbox/world/World.h"

namespace tovrin::sandbox {

namespace {

std::optional<int> codeOrNothing(const QJsonValue& value) {
    return value.isDouble() ? std::optional<int>(value.toInt()) : std::nullopt;
}

std::optional<double> numberOrNothing(const QJsonValue& value) {
    return value.isDouble() ? std::optional<double>(value.toDouble()) : std::nullopt;
}

QList<int> codesOf(const QJsonValue& value) {
    QList<int> codes;
    for (const QJsonValue& code : value.toArray()) {
        if (code.isDouble()) codes << code.toInt();
    }
    return codes;
}

QMap<QString, QString> socialNetworksOf(const QJsonObject& object) {
    QMap<QString, QString> networks;
    for (auto network = object.begin(); network != object.end(); ++network) {
        const QString userID = network.value().toObject().value("userId").toString();
        if (!userID.isEmpty()) networks.insert(network.key(), userID);
    }
    return networks;
}

// The age is kept as a birthday; a new age moves it by whole years.
void setAge(Member& member, int age) {
    const Date now = Date::now();
    const int years = member.age(now) - age;
    member.birthday = Date::fromQDateTime(member.birthday.toQDateTime().toUTC().addYears(years));
}

// Updates every attribute the body names; the others stay.
void applyUpdate(Member& member, const QJsonObject& body) {
    if (body.contains("displayName")) member.displayName = body.value("displayName").toString();
    if (body.contains("aboutMe")) member.aboutMe = body.value("aboutMe").toString();
    if (body.value("age").isDouble()) setAge(member, body.value("age").toInt());
    if (body.contains("showAge")) member.showAge = body.value("showAge").toVariant().toBool();
    if (body.contains("showDistance")) member.showDistance = body.value("showDistance").toVariant().toBool();
    if (body.contains("ethnicity")) member.ethnicity = codeOrNothing(body.value("ethnicity"));
    if (body.contains("relationshipStatus"))
        member.relationshipStatus = codeOrNothing(body.value("relationshipStatus"));
    if (body.contains("bodyType")) member.bodyType = codeOrNothing(body.value("bodyType"));
    if (body.contains("lookingFor")) member.lookingFor = codesOf(body.value("lookingFor"));
    if (body.contains("tovrinTribes")) member.tribes = codesOf(body.value("tovrinTribes"));
    if (body.contains("height")) member.heightInCm = numberOrNothing(body.value("height"));
    if (body.contains("weight")) member.weightInGrams = numberOrNothing(body.value("weight"));
    if (body.contains("socialNetworks"))
        member.socialNetworks = socialNetworksOf(body.value("socialNetworks").toObject());
}

bool isValidUpdate(const QJsonObject& body) {
    const QJsonValue displayName = body.value("displayName");
    return displayName.isUndefined() ||
           (displayName.isString() && !displayName.toString().trimmed().isEmpty());
}

}  // namespace

void ProfileEndpoints::install(HTTPHost& host, const std::shared_ptr<ServiceContext>& context) {
    ServiceContext& service = *context;
    host.route("GET", "/v3/profiles/{}",
               service.signedIn([context](Member& viewer, const HTTPRequest& request) {
                   return profile(*context, viewer, request.arguments[0]);
               }));
    host.route("PUT", "/v3/me/profile",
               service.signedIn([context](Member& member, const HTTPRequest& request) {
                   return updateProfile(*context, member, request);
               }));
    host.routeDeferred("DELETE", "/v3/me/profile",
                       service.signedInDeferred([context](Member& member, const HTTPRequest&) {
                           return deleteProfile(context, member);
                       }));
    host.route("POST", "/v3/flags/{}",
               service.signedIn([context](Member& member, const HTTPRequest& request) {
                   return report(*context, member, request);
               }));
}

HTTPReply ProfileEndpoints::profile(ServiceContext& context, Member& viewer, const QString& profileID) {
    const Member* member = context.world->member(profileID);
    QJsonArray profiles;
    if (member != nullptr && !member->isBanned &&
        !context.world->isBlockedBetween(profileID, viewer.profileID))
        profiles.append(ProfileJSON::fullProfile(*member, viewer, Date::now()));
    return HTTPReply::json(QJsonObject{{"profiles", profiles}});
}

HTTPReply ProfileEndpoints::updateProfile(ServiceContext& context, Member& member,
                                          const HTTPRequest& request) {
    const std::optional<QJsonObject> body = request.jsonBody();
    if (!body || !isValidUpdate(*body)) return errorReply(ServiceError::InvalidRequest);
    applyUpdate(member, *body);
    context.moderator->moderateTexts(member);
    return HTTPReply::json(QJsonObject());
}

// The member's conversations end for everyone the member talked to: each gets the marker that
// clears the conversation, then the member and the chat account go.
Promise<HTTPReply> ProfileEndpoints::deleteProfile(const std::shared_ptr<ServiceContext>& context,
                                                   Member& member) {
    const QString profileID = member.profileID;
    std::vector<Promise<void>> markers;
    for (const QString& peer : context->conversations->peersOf(profileID)) {
        const std::optional<LoggedChatMessage> last =
            context->conversations->lastMessageBetween(profileID, peer);
        if (!last || !context->world->member(peer)) continue;
        xmpp::XMPPMessage marker;
        if (const auto to = xmpp::XMPPJID::jidWithUser(peer, context->chat->domain())) marker.setTo(*to);
        xmpp::addAcknowledgedChatMarkerWithID(marker, last->messageID);
        ChatStanzas::addStoreHint(marker);
        markers.push_back(context->chat->sendAs(profileID, marker));
    }
    context->world->removeMember(profileID);
    context->world->photosAwaitingModeration().removeIf(
        [&](const auto& entry) { return entry.value() == profileID; });
    context->conversations->forget(profileID);
    const std::shared_ptr<ChatServer> chat = context->chat;
    return when(markers)
        .then([chat, profileID] { return chat->removeAccount(profileID); })
        .then([] { return HTTPReply::json(QJsonObject()); })
        .catchError([](const Error&) { return HTTPReply::json(QJsonObject()); });
}

HTTPReply ProfileEndpoints::report(ServiceContext& context, Member& member, const HTTPRequest& request) {
    const QString reportedID = request.arguments[0];
    const std::optional<QJsonObject> body = request.jsonBody();
    if (context.world->member(reportedID) == nullptr) return errorReply(ServiceError::NotFound);
    if (!body || !body->value("reason").isDouble()) return errorReply(ServiceError::InvalidRequest);
    context.world->reports().append(
        {member.profileID, reportedID, body->value("reason").toInt(), body->value("comment").toString()});
    return HTTPReply::json(QJsonObject());
}

}  // namespace tovrin::sandbox
