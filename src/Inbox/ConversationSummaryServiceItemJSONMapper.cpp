#include "Inbox/ConversationSummaryServiceItemJSONMapper.h"

#include <cmath>
#include <limits>

#include "Cascade/NearbyUserJSONMapper.h"
#include "Categories/Date+Milliseconds.h"
#include "Chat/ChatMessageConstants.h"
#include "Chat/ImageMediaHashMessage.h"
#include "Chat/LocationMessage.h"
#include "Chat/TextMessage.h"
#include "platform/foundation/JSON.h"

namespace tovrin {

namespace {

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
    const QString type = stringOrEmpty(dictionary.value(kChatJSONTypeKey));
    if (type == kChatJSONTypeLocationValue)
        return locationMessageFromJSONDictionary(dictionary, chatUserProfileId);
    if (type == kChatJSONTypeTextValue) return textMessageFromJSONDictionary(dictionary, chatUserProfileId);
    if (type == kChatJSONTypeImageValue)
        return imageMediaHashMessageFromJSONDictionary(dictionary, chatUserProfileId);
    return nullptr;
}

std::shared_ptr<ChatMessage> ConversationSummaryServiceItemJSONMapper::textMessageFromJSONDictionary(
    const QJsonObject& dictionary, const QString& chatUserProfileId) const {
    const QJsonValue body = dictionary.value(kChatJSONBodyKey);
    return std::make_shared<TextMessage>(stringOrEmpty(dictionary.value(kChatJSONMessageIdKey)),
                                         stringOrEmpty(dictionary.value(kChatJSONSourceProfileIDKey)),
                                         stringOrEmpty(dictionary.value(kChatJSONTargetProfileIDKey)),
                                         body.isString() ? std::optional(body.toString()) : std::nullopt,
                                         dateFromMilliseconds(dictionary.value(kChatJSONTimestampKey)),
                                         chatMessageStatusFromJSONDictionary(dictionary, chatUserProfileId));
}

std::shared_ptr<ChatMessage> ConversationSummaryServiceItemJSONMapper::locationMessageFromJSONDictionary(
    const QJsonObject& dictionary, const QString& chatUserProfileId) const {
    std::optional<Coordinate> location;
    if (const auto body = dictionaryFromJSONString(stringOrEmpty(dictionary.value(kChatJSONBodyKey)))) {
        const auto latitude = finiteNumber(body->value(kChatJSONLatitudeKey));
        const auto longitude = finiteNumber(body->value(kChatJSONLongitudeKey));
        if (latitude && longitude) {
            const Coordinate coordinate{*latitude, *longitude};
            if (coordinate.isValid()) location = coordinate;
        }
    }
    return std::make_shared<LocationMessage>(
        stringOrEmpty(dictionary.value(kChatJSONMessageIdKey)),
        stringOrEmpty(dictionary.value(kChatJSONSourceProfileIDKey)),
        stringOrEmpty(dictionary.value(kChatJSONTargetProfileIDKey)),
        dateFromMilliseconds(dictionary.value(kChatJSONTimestampKey)),
        chatMessageStatusFromJSONDictionary(dictionary, chatUserProfileId), location);
}

std::shared_ptr<ChatMessage>
ConversationSummaryServiceItemJSONMapper::imageMediaHashMessageFromJSONDictionary(
    const QJsonObject& dictionary, const QString& chatUserProfileId) const {
    QString hash;
    if (const auto body = dictionaryFromJSONString(stringOrEmpty(dictionary.value(kChatJSONBodyKey))))
        hash = stringOrEmpty(body->value(kChatJSONImageHashKey));
    return std::make_shared<ImageMediaHashMessage>(
        stringOrEmpty(dictionary.value(kChatJSONMessageIdKey)),
        stringOrEmpty(dictionary.value(kChatJSONSourceProfileIDKey)),
        stringOrEmpty(dictionary.value(kChatJSONTargetProfileIDKey)),
        dateFromMilliseconds(dictionary.value(kChatJSONTimestampKey)),
        chatMessageStatusFromJSONDictionary(dictionary, chatUserProfileId), hash);
}

quint32 ConversationSummaryServiceItemJSONMapper::chatMessageStatusFromJSONDictionary(
    const QJsonObject& dictionary, const QString& chatUserProfileId) {
    const QJsonValue source = dictionary.value(kChatJSONSourceProfileIDKey);
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
