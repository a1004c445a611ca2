#include "Helpers/ServerCurrentDateProvider.h"

namespace tovrin {

namespace {

constexpr double OffsetLifetime = 60.0;

}  // namespace

ServerCurrentDateProvider::ServerCurrentDateProvider(
    std::shared_ptr<DeviceCurrentDateProvider> currentDateProvider)
    : currentDateProvider_(std::move(currentDateProvider)) {}

void ServerCurrentDateProvider::setServerTime(Date serverDate) {
    cachedDate_ = serverDate;
    serverTimeOffset_ = serverDate.timeIntervalSinceDate(currentDateProvider_->currentDate());
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
