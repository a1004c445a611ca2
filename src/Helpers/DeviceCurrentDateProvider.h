#pragma once

#include "platform/foundation/Date.h"

namespace tovrin {

// The device clock. Safe on any thread.
class DeviceCurrentDateProvider {
public:
    virtual ~DeviceCurrentDateProvider() = default;
    virtual Date currentDate() const { return Date::now(); }
};

}  // namespace tovrin
