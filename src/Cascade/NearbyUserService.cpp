#include "Cascade/NearbyUserService.h"

#include <QJsonArray>
#include <QLocale>
#include <cmath>
#include <limits>

#include "API/AuthenticatedTovrinEndpoint.h"
#include "API/TovrinAPIRequest.h"
#include "API/TovrinServiceError.h"
#include "Cascade/Filter/Filter.h"
#include "Cascade/NearbyUserJSONMapper.h"
#include "Helpers/DeviceCurrentDateProvider.h"
#include "Throttling/TovrinWebAPIThrottler.h"
#include "platform/foundation/Numbers.h"
#include "platform/system/GeohashEncoder.h"

namespace tovrin {

namespace {

std::vector<std::shared_ptr<NearbyUser>> usersFrom(const QJsonObject& json,
                                                   const NearbyUserJSONMapper& mapper) {
    std::vector<std::shared_ptr<NearbyUser>> users;
    for (const QJsonValue& element : json.value(kProfilesKey).toArray()) {
        if (!element.isObject()) continue;
        if (auto user = mapper.nearbyUserWithJSONDictionary(element.toObject()))
            users.push_back(std::move(user));
    }
    return users;
}

// Milliseconds; a fraction is dropped, and a value beyond the 64-bit range keeps its sign at the
// range's end rather than wrapping.
qint64 ttlMilliseconds(const QJsonValue& value) {
    if (!value.isDouble()) return 0;
    const double ttl = value.toDouble();
    if (const auto whole = integerIfInRange(ttl)) return *whole;
    if (std::isnan(ttl)) return 0;
    return ttl > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
}

Date expiryFrom(const QJsonObject& json, const DeviceCurrentDateProvider& clock) {
    const qint64 seconds = ttlMilliseconds(json.value(kTTLKey)) / 1000;
    return clock.currentDate().addingTimeInterval(double(seconds));
}

}  // namespace

NearbyUserService::NearbyUserService(std::shared_ptr<TovrinEndpoint> tovrinEndpoint,
                                     std::shared_ptr<Throttler> throttler,
                                     std::shared_ptr<DeviceCurrentDateProvider> currentDateProvider,
                                     std::shared_ptr<NearbyUserJSONMapper> nearbyUserJSONMapper)
    : ThrottledService(std::move(tovrinEndpoint), std::move(throttler)),
      currentDateProvider_(std::move(currentDateProvider)),
      nearbyUserJSONMapper_(std::move(nearbyUserJSONMapper)) {}

Promise<NearbyUsersWithExpirationDate> NearbyUserService::usersNearLocation(
    const Location& location, const std::shared_ptr<const Filter>& filter, bool onlineOnly,
    bool favoritesOnly, quint32 pageNumber) {
    const QString hash = GeohashEncoder::encode(location.coordinate, GeohashEncoder::DefaultLength);
    const QString path = QStringLiteral("/v3/locations/%1/profiles").arg(hash);

    URLQueryItems items;
    if (onlineOnly) items.append({QStringLiteral("online"), QStringLiteral("true")});
    if (favoritesOnly) items.append({QStringLiteral("favorite"), QStringLiteral("true")});
    if (filter) {
        items += queryItemsForToggleFilterOption(filter->photosOnly(), QStringLiteral("photoOnly"));
        items += queryItemsForMinMaxFilterOption(filter->age(), QStringLiteral("age"));
        items += queryItemsForMinMaxFilterOption(filter->weight(), QStringLiteral("weight"));
        items += queryItemsForMinMaxFilterOption(filter->height(), QStringLiteral("height"));
        items += queryItemsForOptionsFilterOption(filter->tribes(), QStringLiteral("tovrinTribesIds"));
        items += queryItemsForOptionsFilterOption(filter->bodyTypes(), QStringLiteral("bodyTypeIds"));
        items += queryItemsForOptionsFilterOption(filter->ethnicities(), QStringLiteral("ethnicityIds"));
        items += queryItemsForOptionsFilterOption(filter->lookingFors(), QStringLiteral("lookingForIds"));
        items += queryItemsForOptionsFilterOption(filter->relationshipStatuses(),
                                                  QStringLiteral("relationshipStatusIds"));
    }
    items.append({QStringLiteral("pageNumber"), QString::number(quint64(pageNumber) + 1)});

    // The answer is read when it arrives, so the page's lifetime counts from then.
    return JSONWithRequest(TovrinAPIRequest::GETRequestWithPath(path, items))
        .then([mapper = nearbyUserJSONMapper_, clock = currentDateProvider_](const QJsonValue& answer) {
            using Page = Promise<NearbyUsersWithExpirationDate>;
            if (!answer.isObject())
                return Page::rejected(tovrinServiceError(TovrinServiceErrorDataNotReadable));
            const QJsonObject json = answer.toObject();
            const QJsonValue profiles = json.value(kProfilesKey);
            if (!profiles.isUndefined() && !profiles.isArray())
                return Page::rejected(tovrinServiceError(TovrinServiceErrorDataNotReadable));
            return Page::resolved(
                NearbyUsersWithExpirationDate(expiryFrom(json, *clock), usersFrom(json, *mapper)));
        });
}

URLQueryItems NearbyUserService::queryItemsForToggleFilterOption(const ToggleFilterOption& option,
                                                                 const QString& name) {
    if (!option.isEnabled()) return {};
    return {{name, QStringLiteral("true")}};
}

URLQueryItems NearbyUserService::queryItemsForMinMaxFilterOption(const MinMaxFilterOption& option,
                                                                 const QString& baseName) {
    URLQueryItems items;
    if (!option.isEnabled()) return items;
    if (const auto min = option.min()) items.append({baseName + QStringLiteral("Minimum"), boundText(*min)});
    if (const auto max = option.max()) items.append({baseName + QStringLiteral("Maximum"), boundText(*max)});
    return items;
}

URLQueryItems NearbyUserService::queryItemsForOptionsFilterOption(const OptionsFilterOption& option,
                                                                  const QString& name) {
    if (!option.isEnabled() || option.options().empty()) return {};
    return {{name, stringWithCommaSeparation(option.options())}};
}

QString NearbyUserService::stringWithCommaSeparation(const std::vector<qint64>& values) {
    QStringList texts;
    for (const qint64 value : values) texts.append(QString::number(value));
    return texts.join(QLatin1Char(','));
}

QString NearbyUserService::boundText(double value) {
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

std::vector<std::shared_ptr<NearbyUser>> NearbyUserService::nearbyUsersFromJSON(
    const QJsonObject& json) const {
    return usersFrom(json, *nearbyUserJSONMapper_);
}

Date NearbyUserService::TTLDateFromJSON(const QJsonObject& json) const {
    return expiryFrom(json, *currentDateProvider_);
}

}  // namespace tovrin
