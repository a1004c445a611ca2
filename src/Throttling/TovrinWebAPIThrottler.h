#pragma once

#include <map>
#include <memory>
#include <mutex>

#include "Throttling/ThrottleActionState.h"
#include "Throttling/Throttler.h"
#include "platform/di/Inject.h"

namespace tovrin {

class DeviceCurrentDateProvider;
class RandomValueGenerator;

// Backs off a web service that keeps failing with server errors: from the third server error of a
// run (each less than 60 s after the previous one) the action is refused until 1 to 10 random
// seconds after the latest error. A success clears the run. One per process; safe on any thread.
class TovrinWebAPIThrottler : public Throttler {
public:
    TovrinWebAPIThrottler(std::shared_ptr<DeviceCurrentDateProvider> currentDateProvider,
                          std::shared_ptr<RandomValueGenerator> randomValueGenerator);

    using Dependencies = Inject<DeviceCurrentDateProvider, RandomValueGenerator>;

    void actionDidFail(const ThrottleActionKey& key) override;
    void actionDidSucceed(const ThrottleActionKey& key) override;
    bool shouldThrottleAction(const ThrottleActionKey& key) override;

    // 1 + 9 × a random value, in seconds.
    double randomRetryInterval() const;
    // The state's count while its latest error is less than 60 s old, else 0.
    quint64 currentFailureCountForThrottleActionState(const ThrottleActionState& state) const;

    // Under the lock; an empty state, not stored, when the key has none.
    ThrottleActionState throttleActionStateForKey(const ThrottleActionKey& key) const;
    void removeThrottleActionStateForKey(const ThrottleActionKey& key);

private:
    ThrottleActionState stateForKeyLocked(const ThrottleActionKey& key) const;

    std::shared_ptr<DeviceCurrentDateProvider> currentDateProvider_;
    std::shared_ptr<RandomValueGenerator> randomValueGenerator_;
    mutable std::mutex mutex_;
    std::map<ThrottleActionKey, ThrottleActionState> throttleActionStates_;
};

}  // namespace tovrin
