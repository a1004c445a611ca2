#include "Chat/XMPPMessageBuilder.h"

#include <QJsonValue>
#include <cmath>
#include <limits>

#include "Chat/ChatMessageConstants.h"
#include "platform/foundation/JSON.h"

namespace tovrin {

namespace {

// JSON integers hold 63 bits; a larger timestamp (some 292 million years on) is written as a
// double, which a reader clamps back into range.
QJsonValue timestampValue(quint64 timestamp) {
    if (timestamp <= quint64(std::numeric_limits<qint64>::max())) return QJsonValue(qint64(timestamp));
    return QJsonValue(double(timestamp));
}

QJsonObject bodyDictionary(const QString& messageID, const QString& type, const QString& body,
                           const QString& fromUserProfileID, const QString& toUserProfileID, Date date) {
    return QJsonObject{
        {kChatJSONSourceProfileIDKey, fromUserProfileID},
        {kChatJSONSourceDisplayNameKey, kChatJSONSourceDisplayNameValue},
        {kChatJSONTargetProfileIDKey, toUserProfileID},
        {kChatJSONMessageIdKey, messageID},
        {kChatJSONTimestampKey, timestampValue(XMPPMessageBuilder::timestampForDate(date))},
        {kChatJSONTypeKey, type},
        {kChatJSONBodyKey, body},
    };
}

QString compactText(const QJsonObject& object) {
    return QString::fromUtf8(JSON::serialize(object));
}

}  // namespace

xmpp::XMPPMessage XMPPMessageBuilder::xmppMessageWithText(const QString& messageID, const QString& text,
                                                          const QString& fromUserProfileID,
                                                          const QString& toUserProfileID,
                                                          const QString& domain, Date date) {
    return xmppMessageWithBodyDictionary(
        messageID, toUserProfileID, domain,
        bodyDictionary(messageID, kChatJSONTypeTextValue, text, fromUserProfileID, toUserProfileID, date));
}

xmpp::XMPPMessage XMPPMessageBuilder::xmppMessageWithImageMediaHash(const QString& messageID,
                                                                    const QString& imageMediaHash,
                                                                    const QString& fromUserProfileID,
                                                                    const QString& toUserProfileID,
                                                                    const QString& domain, Date date) {
    const QString payload = compactText(QJsonObject{{kChatJSONImageHashKey, imageMediaHash}});
    return xmppMessageWithBodyDictionary(messageID, toUserProfileID, domain,
                                         bodyDictionary(messageID, kChatJSONTypeImageValue, payload,
                                                        fromUserProfileID, toUserProfileID, date));
}

xmpp::XMPPMessage XMPPMessageBuilder::xmppMessageWithLocation(const QString& messageID, double latitude,
                                                              double longitude,
                                                              const QString& fromUserProfileID,
                                                              const QString& toUserProfileID,
                                                              const QString& domain, Date date) {
    const QString payload =
        compactText(QJsonObject{{kChatJSONLatitudeKey, latitude}, {kChatJSONLongitudeKey, longitude}});
    return xmppMessageWithBodyDictionary(messageID, toUserProfileID, domain,
                                         bodyDictionary(messageID, kChatJSONTypeLocationValue, payload,
                                                        fromUserProfileID, toUserProfileID, date));
}

xmpp::XMPPMessage XMPPMessageBuilder::xmppMessageWithBodyDictionary(const QString& messageID,
                                                                    const QString& toProfileID,
                                                                    const QString& domain,
                                                                    const QJsonObject& tovrinBodyDictionary) {
    xmpp::XMPPMessage message;
    message.setType(QStringLiteral("chat"));
    // Written as given: the builder never fails, even for a peer id that is no address part.
    message.addAttributeWithName(QStringLiteral("to"), toProfileID + QLatin1Char('@') + domain);
    message.setElementID(messageID);
    message.addBody(compactText(tovrinBodyDictionary));
    return message;
}

quint64 XMPPMessageBuilder::timestampForDate(Date date) {
    const double milliseconds = std::round(date.timeIntervalSince1970() * 1000.0);
    constexpr double limit = 18446744073709551616.0;  // 2^64
    if (!(milliseconds > 0)) return 0;
    if (milliseconds >= limit) return std::numeric_limits<quint64>::max();
    return quint64(milliseconds);
}

}  // namespace tovrin
