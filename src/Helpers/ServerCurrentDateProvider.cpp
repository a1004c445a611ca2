#include "Helpers/ServerCurrentDateProvider.h"

namespace tovrin {

namespace {

constexpr double OffsetLifetime = 60.0;
constexpr double EarliestServerTime = 946684800.0;  // 2000-01-01 00:00 UTC
constexpr double LatestServerTime = 4133980800.0;   // 2101-01-01 00:00 UTC, excluded

bool isPlausibleServerTime(Date date) {
    const double seconds = date.timeIntervalSince1970();
    return seconds >= EarliestServerTime && seconds < LatestServerTime;
}

}  // namespace

ServerCurrentDateProvider::ServerCurrentDateProvider(
    std::shared_ptr<DeviceCurrentDateProvider> currentDateProvider)
    : currentDateProvider_(std::move(currentDateProvider)) {}

void ServerCurrentDateProvider::setServerTime(Date serverDate, Date receivedAt) {
    if (!isPlausibleServerTime(serverDate)) return;
    cachedDate_ = serverDate;
    serverTimeOffset_ = serverDate.timeIntervalSinceDate(receivedAt);
}

void ServerCurrentDateProvider::setServerTime(Date serverDate) {
    setServerTime(serverDate, currentDateProvider_->currentDate());
}

Date ServerCurrentDateProvider::currentServerDate() const {
    return currentDateProvider_->currentDate().addingTimeInterval(serverTimeOffset_);
}

bool ServerCurrentDateProvider::isOffsetValid() const {
    if (!cachedDate_) return true;
    const Date measuredAt = cachedDate_->addingTimeInterval(-serverTimeOffset_);
    const double distance = measuredAt.timeIntervalSinceDate(currentDateProvider_->currentDate());
    return distance >= -OffsetLifetime && distance <= OffsetLifetime;
}

}  // namespace tovrin
