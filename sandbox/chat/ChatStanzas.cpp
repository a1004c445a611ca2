#include "sandbox/chat/ChatStanzas.h"

#include <QJsonDocument>
#include <QJsonObject>

#include "platform/xmpp/XEP-0333/XMPPMessage+ChatMarkers.h"

namespace tovrin::sandbox {

namespace {

QString compactJSON(const QJsonObject& object) {
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

}  // namespace

xmpp::XMPPMessage ChatStanzas::chatMessage(const QString& messageID, const QString& senderID,
                                           const QString& targetID, const QString& domain,
                                           const ChatBody& content) {
    const QJsonObject body{
        {"sourceProfileId", senderID},    {"sourceDisplayName", "TEMPORARY_VALUE"},
        {"targetProfileId", targetID},    {"messageId", messageID},
        {"timestamp", content.timestamp}, {"type", content.type},
        {"body", content.body},
    };
    xmpp::XMPPMessage message = xmpp::XMPPMessage::messageWithType(
        QStringLiteral("chat"), xmpp::XMPPJID::jidWithUser(targetID, domain));
    message.setElementID(messageID);
    message.addBody(compactJSON(body));
    xmpp::addMarkableChatMarker(message);
    return message;
}

QString ChatStanzas::imageBody(const QString& mediaHash) {
    return compactJSON({{"imageHash", mediaHash}});
}

QString ChatStanzas::locationBody(const Coordinate& position) {
    return compactJSON({{"lat", position.latitude}, {"lon", position.longitude}});
}

std::optional<ChatBody> ChatStanzas::readChatBody(const xmpp::XMPPMessage& message) {
    if (!message.isChatMessage() || !message.isMessageWithBody() || message.elementID().isEmpty())
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(message.body().toUtf8());
    if (!document.isObject()) return std::nullopt;
    const QJsonObject object = document.object();
    const QJsonValue timestamp = object.value("timestamp");
    return ChatBody{object.value("type").toString(), object.value("body").toString(),
                    timestamp.isString() ? timestamp.toString().toLongLong() : timestamp.toInteger()};
}

std::optional<QPair<QString, QStringList>> ChatStanzas::readDeletionMarker(const xmpp::XMPPMessage& message) {
    const xmpp::XMLElement marker = message.elementForXmlns(deletionMarkerNamespace);
    if (marker.isNull()) return std::nullopt;
    QStringList ids;
    for (const xmpp::XMLElement& id : marker.elementsForName(QStringLiteral("id"))) ids << id.stringValue();
    return QPair<QString, QStringList>(marker.attributeStringValueForName(QStringLiteral("jid")), ids);
}

void ChatStanzas::addStoreHint(xmpp::XMPPMessage& message) {
    message.addChild(xmpp::XMLElement(QStringLiteral("store"), hintsNamespace));
}

}  // namespace tovrin::sandbox
