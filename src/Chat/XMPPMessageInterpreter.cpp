#include "Chat/XMPPMessageInterpreter.h"

#include <QJsonValue>
#include <QRegularExpression>
#include <cmath>
#include <limits>

#include "Categories/Date+Milliseconds.h"
#include "Chat/BlockMessage.h"
#include "Chat/ChatMessageConstants.h"
#include "Chat/ImageMediaHashMessage.h"
#include "Chat/LocationMessage.h"
#include "Chat/TextMessage.h"
#include "platform/foundation/JSON.h"

namespace tovrin {

namespace {

QString localPart(const std::optional<xmpp::XMPPJID>& jid) {
    return jid ? jid->user() : QString();
}

std::optional<QJsonObject> parseObject(const QString& text) {
    const auto value = JSON::parse(text.toUtf8());
    if (!value || !value->isObject()) return std::nullopt;
    return value->toObject();
}

std::optional<QString> stringMember(const QJsonObject& object, const QString& key) {
    const QJsonValue value = object.value(key);
    return value.isString() ? std::optional<QString>(value.toString()) : std::nullopt;
}

// A decimal integer after any leading white space, with an optional sign; 0 when no digit follows,
// the 64-bit limits when the digits overflow them.
qint64 leadingInteger(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^\\s*([+-]?)(\\d+)"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) return 0;
    const bool negative = match.captured(1) == QLatin1String("-");
    quint64 magnitude = 0;
    constexpr quint64 limit = quint64(std::numeric_limits<qint64>::max()) + 1;
    for (const QChar digit : match.capturedView(2)) {
        magnitude = magnitude * 10 + quint64(digit.digitValue());
        if (magnitude >= limit)
            return negative ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max();
    }
    return negative ? -qint64(magnitude) : qint64(magnitude);
}

// Missing, or not a number or string: 1 January 1970.
Date sentDateFromTimestamp(const QJsonValue& timestamp) {
    if (timestamp.isDouble()) return tvr_dateWithWholeMillisecondsSince1970(timestamp.toDouble());
    if (timestamp.isString())
        return tvr_dateWithMillisecondsSince1970(double(leadingInteger(timestamp.toString())));
    return Date(0);
}

// A number, or a string that begins with a decimal number; anything else is no coordinate.
std::optional<double> coordinateValue(const QJsonValue& value) {
    if (value.isDouble()) return value.toDouble();
    if (!value.isString()) return std::nullopt;
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*([+-]?(?:\\d+\\.?\\d*|\\.\\d+)(?:[eE][+-]?\\d+)?)"));
    const QRegularExpressionMatch match = pattern.match(value.toString());
    if (!match.hasMatch()) return std::nullopt;
    return match.captured(1).toDouble();
}

// A position only from two finite coordinates on the globe: a pin at 0,0 for an unreadable payload
// would show the peer somewhere they are not.
std::optional<Coordinate> locationFromPayload(const std::optional<QJsonObject>& payload) {
    if (!payload) return std::nullopt;
    const auto latitude = coordinateValue(payload->value(kChatJSONLatitudeKey));
    const auto longitude = coordinateValue(payload->value(kChatJSONLongitudeKey));
    if (!latitude || !longitude || !std::isfinite(*latitude) || !std::isfinite(*longitude))
        return std::nullopt;
    const Coordinate location{*latitude, *longitude};
    return location.isValid() ? std::optional<Coordinate>(location) : std::nullopt;
}

}  // namespace

std::optional<XMPPMessageInterpreter> XMPPMessageInterpreter::interpreterWithXMPPMessage(
    const xmpp::XMPPMessage& message) {
    XMPPMessageInterpreter interpreter;
    interpreter.senderProfileID_ = localPart(message.from());
    interpreter.targetProfileID_ = localPart(message.to());
    interpreter.messageID_ = message.elementID();
    // An empty id names no message: nothing could acknowledge, merge or delete it.
    if (interpreter.messageID_.isEmpty()) return std::nullopt;
    const QString body = message.body();
    if (body.isEmpty()) return std::nullopt;
    auto dictionary = parseObject(body);
    if (!dictionary) return std::nullopt;
    interpreter.tovrinBodyDictionary_ = std::move(*dictionary);
    interpreter.messageType_ = stringMember(interpreter.tovrinBodyDictionary_, kChatJSONTypeKey);
    interpreter.sentDate_ =
        sentDateFromTimestamp(interpreter.tovrinBodyDictionary_.value(kChatJSONTimestampKey));
    return interpreter;
}

std::shared_ptr<ChatMessage> XMPPMessageInterpreter::chatMessageWithStatus(quint32 status) const {
    if (!messageType_) return nullptr;
    if (*messageType_ == kChatJSONTypeTextValue) return textMessage(status);
    if (*messageType_ == kChatJSONTypeImageValue) return imageMessage(status);
    if (*messageType_ == kChatJSONTypeLocationValue) return locationMessage(status);
    if (*messageType_ == kChatJSONTypeBlockValue) return blockMessage(status);
    return nullptr;
}

std::shared_ptr<ChatMessage> XMPPMessageInterpreter::textMessage(quint32 status) const {
    return std::make_shared<TextMessage>(messageID_, senderProfileID_, targetProfileID_,
                                         stringMember(tovrinBodyDictionary_, kChatJSONBodyKey), sentDate_,
                                         status, true);
}

// A payload that is no object, or a hash that is no string, leaves a photo without hash.
std::shared_ptr<ChatMessage> XMPPMessageInterpreter::imageMessage(quint32 status) const {
    const auto payload =
        parseObject(stringMember(tovrinBodyDictionary_, kChatJSONBodyKey).value_or(QString()));
    const auto hash = payload ? stringMember(*payload, kChatJSONImageHashKey) : std::nullopt;
    return std::make_shared<ImageMediaHashMessage>(messageID_, senderProfileID_, targetProfileID_, sentDate_,
                                                   status, hash.value_or(QString()), true);
}

std::shared_ptr<ChatMessage> XMPPMessageInterpreter::locationMessage(quint32 status) const {
    const auto payload =
        parseObject(stringMember(tovrinBodyDictionary_, kChatJSONBodyKey).value_or(QString()));
    return std::make_shared<LocationMessage>(messageID_, senderProfileID_, targetProfileID_, sentDate_,
                                             status, locationFromPayload(payload), true);
}

std::shared_ptr<ChatMessage> XMPPMessageInterpreter::blockMessage(quint32 status) const {
    return std::make_shared<BlockMessage>(messageID_, senderProfileID_, targetProfileID_, sentDate_, status);
}

}  // namespace tovrin
