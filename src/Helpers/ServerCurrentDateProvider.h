#pragma once

#include <memory>
#include <optional>

#include "Helpers/DeviceCurrentDateProvider.h"
#include "platform/di/Inject.h"

namespace tovrin {

// The current time on the service's clock: the device clock corrected by the offset measured at
// the last server time. The offset counts as fresh for 60 s after it was measured, and before any.
// A server time outside the years 2000 to 2100 is no clock reading and leaves the offset as it was.
class ServerCurrentDateProvider {
public:
    explicit ServerCurrentDateProvider(std::shared_ptr<DeviceCurrentDateProvider> currentDateProvider);
    virtual ~ServerCurrentDateProvider() = default;

    using Dependencies = Inject<DeviceCurrentDateProvider>;

    // The server's time as received at the device time `receivedAt`: an answer read again later (a
    // cached one) gives the offset of its arrival, not one shifted by its age.
    void setServerTime(Date serverDate, Date receivedAt);
    // Received now.
    void setServerTime(Date serverDate);
    virtual Date currentServerDate() const;
    // The device clock's time, which server times are measured against.
    Date deviceDate() const { return currentDateProvider_->currentDate(); }
    bool isOffsetValid() const;

    double serverTimeOffset() const { return serverTimeOffset_; }
    void setServerTimeOffset(double offset) { serverTimeOffset_ = offset; }
    const std::shared_ptr<DeviceCurrentDateProvider>& currentDateProvider() const {
        return currentDateProvider_;
    }
    void setCurrentDateProvider(std::shared_ptr<DeviceCurrentDateProvider> provider) {
        currentDateProvider_ = std::move(provider);
    }
    const std::optional<Date>& cachedDate() const { return cachedDate_; }
    void setCachedDate(std::optional<Date> date) { cachedDate_ = date; }

private:
    double serverTimeOffset_ = 0;
    std::shared_ptr<DeviceCurrentDateProvider> currentDateProvider_;
    std::optional<Date> cachedDate_;
};

}  // namespace tovrin
