#pragma once

#include <QString>
#include <typeindex>
#include <variant>

namespace tovrin {

// What a throttler counts failures of: a service class, or a named action ("Login").
using ThrottleActionKey = std::variant<std::type_index, QString>;

class Throttler {
public:
    virtual ~Throttler() = default;
    virtual void actionDidFail(const ThrottleActionKey& key) = 0;
    virtual void actionDidSucceed(const ThrottleActionKey& key) = 0;
    virtual bool shouldThrottleAction(const ThrottleActionKey& key) = 0;
};

}  // namespace tovrin
