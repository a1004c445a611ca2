#include "sandbox/service/PreferenceEndpoints.h"

#include <QJsonObject>

#include "platform/foundation/UUID.h"
#include "platform/xmpp/XEP-0333/XMPPMessage+ChatMarkers.h"
#include "sandbox/chat/ChatServer.h"
#include "sandbox/chat/ChatStanzas.h"
#include "sandbox/chat/ConversationLog.h"
#include "sandbox/service/ServiceContext.h"
#include "sandbox/service/ServiceError.h"
#include "sandbox/world/World.h"

namespace tovrin::sandbox {

void PreferenceEndpoints::install(HTTPHost& host, const std::shared_ptr<ServiceContext>& context) {
    ServiceContext& service = *context;
    host.route("GET", "/v3/me/prefs",
               service.signedIn([](Member& member, const HTTPRequest&) { return preferences(member); }));
    host.route("POST", "/v3/me/prefs/phrases", service.signedIn(&savePhrase));
    host.route("DELETE", "/v3/me/prefs/phrases/{}",
               service.signedIn([](Member& member, const HTTPRequest& request) {
                   member.phrases.removeIf(
                       [&](const SavedPhrase& phrase) { return phrase.phraseID == request.arguments[0]; });
                   return HTTPReply::json(QJsonObject());
               }));
    host.route("POST", "/v3/me/blocks/{}",
               service.signedIn([context](Member& member, const HTTPRequest& request) {
                   return block(*context, member, request.arguments[0]);
               }));
    host.route("DELETE", "/v3/me/blocks", service.signedIn([](Member& member, const HTTPRequest&) {
        member.blocks.clear();
        return HTTPReply::json(QJsonObject());
    }));
}

HTTPReply PreferenceEndpoints::preferences(Member& member) {
    QJsonObject phrases;
    for (const SavedPhrase& phrase : member.phrases) {
        phrases.insert(phrase.phraseID, QJsonObject{{"phraseId", phrase.phraseID},
                                                    {"phraseText", phrase.text},
                                                    {"timestamp", phrase.timestamp}});
    }
    QJsonObject chatPhotos;
    for (const QString& hash : member.chatPhotos) chatPhotos.insert(hash, QJsonObject{{"mediaHash", hash}});
    return HTTPReply::json(QJsonObject{{"phrases", phrases}, {"chatPix", chatPhotos}});
}

HTTPReply PreferenceEndpoints::savePhrase(Member& member, const HTTPRequest& request) {
    const QString text = request.jsonBody().value_or(QJsonObject()).value("phrase").toString();
    if (text.isEmpty()) return errorReply(ServiceError::InvalidRequest);
    const SavedPhrase phrase{World::randomToken().left(12), text, Date::now().millisecondsSince1970()};
    member.phrases.append(phrase);
    return HTTPReply::json(QJsonObject{{"phraseId", phrase.phraseID}});
}

HTTPReply PreferenceEndpoints::block(ServiceContext& context, Member& member, const QString& profileID) {
    if (profileID == member.profileID || context.world->member(profileID) == nullptr)
        return errorReply(ServiceError::NotFound);
    if (!member.blocks.contains(profileID)) {
        if (member.blocks.size() >= context.options.blocksLimit)
            return errorReply(ServiceError::BlocksLimitReached);
        member.blocks.insert(profileID);
        member.favorites.removeAll(profileID);
        announceBlock(context, member.profileID, profileID);
    }
    return HTTPReply::json(QJsonObject());
}

void PreferenceEndpoints::announceBlock(ServiceContext& context, const QString& blockerID,
                                        const QString& blockedID) {
    ChatServer& chat = *context.chat;
    const ChatBody blockBody{QStringLiteral("block"), QString(), qint64(Date::now().millisecondsSince1970())};
    const xmpp::XMPPMessage blockMessage =
        ChatStanzas::chatMessage(makeUUIDString(), blockerID, blockedID, chat.domain(), blockBody);
    chat.sendAs(blockerID, blockMessage);
    context.conversations->record(blockMessage);

    const std::optional<LoggedChatMessage> last =
        context.conversations->lastMessageBetween(blockerID, blockedID);
    if (!last) return;
    xmpp::XMPPMessage cleared;
    if (const auto to = xmpp::XMPPJID::jidWithUser(blockerID, chat.domain())) cleared.setTo(*to);
    xmpp::addAcknowledgedChatMarkerWithID(cleared, last->messageID);
    ChatStanzas::addStoreHint(cleared);
    chat.sendAs(blockedID, cleared);
    context.conversations->record(cleared);
}

}  // namespace tovrin::sandbox
