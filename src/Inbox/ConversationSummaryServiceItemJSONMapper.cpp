#include "Inbox/ConversationSummaryServiceItemJSONMapper.h"

#include <cmath>
#include <limits>

#include "Cascade/NearbyUserJSONMapper.h"
#include "Categories/Date+Milliseconds.h"
#include "Chat/ImageMediaHashMessage.h"
#include "Chat/LocationMessage.h"
#include "Chat/TextMessage.h"
#include "platform/foundation/JSON.h"

namespace tovrin {

namespace {

// The names of the last message; they are the chat body's own.
const QString kTypeKey = QStringLiteral("type");
const QString kMessageIDKey = QStringLiteral("messageId");
const QString kSourceProfileIDKey = QStringLiteral("sourceProfileId");
const QString kTargetProfileIDKey = QStringLiteral("targetProfileId");
const QString kBodyKey = QStringLiteral("body");
const QString kTimestampKey = QStringLiteral("timestamp");
const QString kTextType = QStringLiteral("text");
const QString kMapType = QStringLiteral("map");
const QString kImageType = QStringLiteral("image");
const QString kLatitudeKey = QStringLiteral("lat");
const QString kLongitudeKey = QStringLiteral("lon");
const QString kImageHashKey = QStringLiteral("imageHash");

QString stringOrEmpty(const QJsonValue& value) {
    return value.isString() ? value.toString() : QString();
}

// Anything but a positive number reads as 0; a fraction is dropped and a count beyond 32 bits stays
// at the largest, never wraps around.
quint32 countFrom(const QJsonValue& value) {
    if (!value.isDouble()) return 0;
    const double number = value.toDouble();
    if (!(number > 0)) return 0;
    constexpr double largest = std::numeric_limits<quint32>::max();
    return number >= largest ? std::numeric_limits<quint32>::max() : quint32(number);
}

std::optional<double> finiteNumber(const QJsonValue& value) {
    if (!value.isDouble()) return std::nullopt;
    const double number = value.toDouble();
    return std::isfinite(number) ? std::optional(number) : std::nullopt;
}

}  // namespace

ConversationSummaryServiceItemJSONMapper::ConversationSummaryServiceItemJSONMapper(
    std::shared_ptr<NearbyUserJSONMapper> nearbyUserJSONMapper)
    : nearbyUserJSONMapper_(std::move(nearbyUserJSONMapper)) {}

std::shared_ptr<ConversationSummaryServiceItem>
ConversationSummaryServiceItemJSONMapper::conversationSummaryServiceItemWithJSONDictionary(
    const QJsonObject& dictionary) const {
    const QJsonValue profile = dictionary.value(QStringLiteral("profile"));
    if (!profile.isObject()) return nullptr;
    std::shared_ptr<NearbyUser> peer =
        nearbyUserJSONMapper_->nearbyUserWithJSONDictionary(profile.toObject());
    if (!peer || peer->profileID().isEmpty()) return nullptr;
    const QJsonValue unreadPhoto = dictionary.value(QStringLiteral("unreadPhoto"));
    auto lastMessages =
        messagesFromJSONArray(dictionary.value(QStringLiteral("lastMessages")).toArray(), peer->profileID());
    return std::make_shared<ConversationSummaryServiceItem>(
        std::move(peer), countFrom(dictionary.value(QStringLiteral("unread"))),
        unreadPhoto.isBool() && unreadPhoto.toBool(), std::move(lastMessages));
}

std::vector<std::shared_ptr<ChatMessage>> ConversationSummaryServiceItemJSONMapper::messagesFromJSONArray(
    const QJsonArray& array, const QString& chatUserProfileId) const {
    std::vector<std::shared_ptr<ChatMessage>> messages;
    messages.reserve(size_t(array.size()));
    for (const QJsonValue& element : array) {
        if (!element.isObject()) continue;
        if (auto message = chatMessageFromJSONDictionary(element.toObject(), chatUserProfileId))
            messages.push_back(std::move(message));
    }
    return messages;
}

std::shared_ptr<ChatMessage> ConversationSummaryServiceItemJSONMapper::chatMessageFromJSONDictionary(
    const QJsonObject& dictionary, const QString& chatUserProfileId) const {
    const QString type = stringOrEmpty(dictionary.value(kTypeKey));
    if (type == kMapType) return locationMessageFromJSONDictionary(dictionary, chatUserProfileId);
    if (type == kTextType) return textMessageFromJSONDictionary(dictionary, chatUserProfileId);
    if (type == kImageType) return imageMediaHashMessageFromJSONDictionary(dictionary, chatUserProfileId);
    return nullptr;
}

std::shared_ptr<ChatMessage> ConversationSummaryServiceItemJSONMapper::textMessageFromJSONDictionary(
    const QJsonObject& dictionary, const QString& chatUserProfileId) const {
    const QJsonValue body = dictionary.value(kBodyKey);
    return std::make_shared<TextMessage>(stringOrEmpty(dictionary.value(kMessageIDKey)),
                                         stringOrEmpty(dictionary.value(kSourceProfileIDKey)),
                                         stringOrEmpty(dictionary.value(kTargetProfileIDKey)),
                                         body.isString() ? std::optional(body.toString()) : std::nullopt,
                                         dateFromMilliseconds(dictionary.value(kTimestampKey)),
                                         chatMessageStatusFromJSONDictionary(dictionary, chatUserProfileId));
}

std::shared_ptr<ChatMessage> ConversationSummaryServiceItemJSONMapper::locationMessageFromJSONDictionary(
    const QJsonObject& dictionary, const QString& chatUserProfileId) const {
    std::optional<Coordinate> location;
    if (const auto body = dictionaryFromJSONString(stringOrEmpty(dictionary.value(kBodyKey)))) {
        const auto latitude = finiteNumber(body->value(kLatitudeKey));
        const auto longitude = finiteNumber(body->value(kLongitudeKey));
        if (latitude && longitude) {
            const Coordinate coordinate{*latitude, *longitude};
            if (coordinate.isValid()) location = coordinate;
        }
    }
    return std::make_shared<LocationMessage>(
        stringOrEmpty(dictionary.value(kMessageIDKey)), stringOrEmpty(dictionary.value(kSourceProfileIDKey)),
        stringOrEmpty(dictionary.value(kTargetProfileIDKey)),
        dateFromMilliseconds(dictionary.value(kTimestampKey)),
        chatMessageStatusFromJSONDictionary(dictionary, chatUserProfileId), location);
}

std::shared_ptr<ChatMessage>
ConversationSummaryServiceItemJSONMapper::imageMediaHashMessageFromJSONDictionary(
    const QJsonObject& dictionary, const QString& chatUserProfileId) const {
    QString hash;
    if (const auto body = dictionaryFromJSONString(stringOrEmpty(dictionary.value(kBodyKey))))
        hash = stringOrEmpty(body->value(kImageHashKey));
    return std::make_shared<ImageMediaHashMessage>(
        stringOrEmpty(dictionary.value(kMessageIDKey)), stringOrEmpty(dictionary.value(kSourceProfileIDKey)),
        stringOrEmpty(dictionary.value(kTargetProfileIDKey)),
        dateFromMilliseconds(dictionary.value(kTimestampKey)),
        chatMessageStatusFromJSONDictionary(dictionary, chatUserProfileId), hash);
}

quint32 ConversationSummaryServiceItemJSONMapper::chatMessageStatusFromJSONDictionary(
    const QJsonObject& dictionary, const QString& chatUserProfileId) {
    const QJsonValue source = dictionary.value(kSourceProfileIDKey);
    return source.isString() && source.toString() == chatUserProfileId ? ChatMessageStatusReceived
                                                                       : ChatMessageStatusSent;
}

Date ConversationSummaryServiceItemJSONMapper::dateFromMilliseconds(const QJsonValue& number) {
    if (!number.isDouble()) return tvr_dateWithMillisecondsSince1970(0);
    return tvr_dateWithWholeMillisecondsSince1970(number.toDouble());
}

std::optional<QJsonObject> ConversationSummaryServiceItemJSONMapper::dictionaryFromJSONString(
    const QString& string) {
    if (string.isEmpty()) return std::nullopt;
    const std::optional<QJsonValue> parsed = JSON::parse(string.toUtf8());
    if (!parsed || !parsed->isObject()) return std::nullopt;
    return parsed->toObject();
}

}  // namespace tovrin
