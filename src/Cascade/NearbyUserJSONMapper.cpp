#include "Cascade/NearbyUserJSONMapper.h"

#include <algorithm>
#include <cmath>

#include "Categories/Collection+NilTolerance.h"
#include "Categories/Date+Milliseconds.h"

namespace tovrin {

namespace {

// A number gives its decimal digits (never an exponent), a string is taken unchanged. Nothing for
// what names no member: a missing or empty id, another type, or a number that is not a whole one
// (or too large to be exact).
std::optional<QString> profileIDText(const QJsonValue& value) {
    if (value.isString()) {
        const QString text = value.toString();
        if (text.trimmed().isEmpty()) return std::nullopt;
        return text;
    }
    if (!value.isDouble()) return std::nullopt;
    const double number = value.toDouble();
    if (!(std::trunc(number) == number && number >= 0 && number <= 9.0e15)) return std::nullopt;
    return QString::number(qint64(number));
}

// A JSON boolean, or a number where anything but 0 is true.
bool truthValue(const QJsonValue& value) {
    if (value.isDouble()) return value.toDouble() != 0;
    return value.toBool(false);
}

std::optional<QString> optionalString(const QJsonObject& dictionary, const QString& key) {
    const auto value = objectOrNilForKey(dictionary, key);
    if (!value || !value->isString()) return std::nullopt;
    return value->toString();
}

std::optional<double> optionalNumber(const QJsonObject& dictionary, const QString& key) {
    const auto value = objectOrNilForKey(dictionary, key);
    if (!value || !value->isDouble()) return std::nullopt;
    return value->toDouble();
}

std::optional<qint64> optionalWholeNumber(const QJsonObject& dictionary, const QString& key) {
    const auto number = optionalNumber(dictionary, key);
    if (!number) return std::nullopt;
    if (std::isnan(*number)) return std::nullopt;
    return qint64(std::clamp(std::trunc(*number), -1.0e15, 1.0e15));
}

}  // namespace

NearbyUserJSONMapper::NearbyUserJSONMapper(std::shared_ptr<DeviceCurrentDateProvider> currentDateProvider)
    : currentDateProvider_(std::move(currentDateProvider)) {}

std::shared_ptr<NearbyUser> NearbyUserJSONMapper::nearbyUserWithJSONDictionary(
    const QJsonObject& dictionary) const {
    const std::optional<QString> profileID = profileIDText(dictionary.value(QStringLiteral("profileId")));
    if (!profileID) return nullptr;
    std::optional<Date> lastSeen;
    bool online = false;
    if (const auto seen = optionalNumber(dictionary, QStringLiteral("seen"))) {
        lastSeen = tvr_dateWithWholeMillisecondsSince1970(*seen);
        online = currentDateProvider_->currentDate().timeIntervalSinceDate(*lastSeen) <= onlineInterval;
    }
    return std::make_shared<NearbyUser>(*profileID, optionalString(dictionary, QStringLiteral("displayName")),
                                        optionalString(dictionary, QStringLiteral("profileImageMediaHash")),
                                        optionalWholeNumber(dictionary, QStringLiteral("age")), lastSeen,
                                        optionalNumber(dictionary, QStringLiteral("distance")),
                                        truthValue(dictionary.value(QStringLiteral("isFavorite"))), online);
}

QJsonObject NearbyUserJSONMapper::JSONDictionaryWithNearbyUser(const NearbyUser& user) const {
    std::optional<double> seen;
    if (user.lastSeen()) seen = tvr_millisecondsSince1970(*user.lastSeen());
    return {
        {QStringLiteral("profileId"), user.profileID()},
        {QStringLiteral("displayName"), user.displayName()},
        {QStringLiteral("profileImageMediaHash"), objectOrNSNull(user.mediaHash())},
        {QStringLiteral("age"), objectOrNSNull(user.age())},
        {QStringLiteral("seen"), objectOrNSNull(seen)},
        {QStringLiteral("distance"), objectOrNSNull(user.distance())},
        {QStringLiteral("isFavorite"), user.isFavorite()},
    };
}

}  // namespace tovrin
