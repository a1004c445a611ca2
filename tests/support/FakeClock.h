#pragma once

#include <atomic>

#include "Helpers/DeviceCurrentDateProvider.h"

namespace tovrin::test {

// A device clock that stands still until the test moves it. Read from any thread.
class FakeClock : public DeviceCurrentDateProvider {
public:
    explicit FakeClock(Date now = Date(1'700'000'000)) : seconds_(now.timeIntervalSince1970()) {}

    Date currentDate() const override { return Date(seconds_.load()); }
    Date now() const { return currentDate(); }
    void setNow(Date now) { seconds_ = now.timeIntervalSince1970(); }
    void advance(double seconds) { setNow(now().addingTimeInterval(seconds)); }

private:
    std::atomic<double> seconds_;
};

}  // namespace tovrin::test
