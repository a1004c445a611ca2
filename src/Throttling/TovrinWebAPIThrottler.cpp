#include "Throttling/TovrinWebAPIThrottler.h"

#include "Helpers/DeviceCurrentDateProvider.h"
#include "Throttling/RandomValueGenerator.h"

namespace tovrin {

namespace {

constexpr double FailureRunWindow = 60.0;
constexpr quint64 FailuresBeforeThrottling = 3;

}  // namespace

TovrinWebAPIThrottler::TovrinWebAPIThrottler(std::shared_ptr<DeviceCurrentDateProvider> currentDateProvider,
                                             std::shared_ptr<RandomValueGenerator> randomValueGenerator)
    : currentDateProvider_(std::move(currentDateProvider)),
      randomValueGenerator_(std::move(randomValueGenerator)) {}

void TovrinWebAPIThrottler::actionDidFail(const ThrottleActionKey& key) {
    // Read, count and store as one step, so that failures reported at once from two threads both count.
    std::lock_guard lock(mutex_);
    const quint64 count = currentFailureCountForThrottleActionState(stateForKeyLocked(key));
    throttleActionStates_[key] =
        ThrottleActionState(count + 1, currentDateProvider_->currentDate(), randomRetryInterval());
}

void TovrinWebAPIThrottler::actionDidSucceed(const ThrottleActionKey& key) {
    removeThrottleActionStateForKey(key);
}

bool TovrinWebAPIThrottler::shouldThrottleAction(const ThrottleActionKey& key) {
    const ThrottleActionState state = throttleActionStateForKey(key);
    if (currentFailureCountForThrottleActionState(state) < FailuresBeforeThrottling) return false;
    const Date denyEnd = state.lastFailureDate()->addingTimeInterval(state.intervalToDeny());
    return denyEnd > currentDateProvider_->currentDate();
}

double TovrinWebAPIThrottler::randomRetryInterval() const {
    return 1.0 + 9.0 * randomValueGenerator_->randomValue();
}

quint64 TovrinWebAPIThrottler::currentFailureCountForThrottleActionState(
    const ThrottleActionState& state) const {
    if (!state.lastFailureDate()) return 0;
    const double age = currentDateProvider_->currentDate().timeIntervalSinceDate(*state.lastFailureDate());
    return age < FailureRunWindow ? state.failureCount() : 0;
}

ThrottleActionState TovrinWebAPIThrottler::throttleActionStateForKey(const ThrottleActionKey& key) const {
    std::lock_guard lock(mutex_);
    return stateForKeyLocked(key);
}

void TovrinWebAPIThrottler::removeThrottleActionStateForKey(const ThrottleActionKey& key) {
    std::lock_guard lock(mutex_);
    throttleActionStates_.erase(key);
}

ThrottleActionState TovrinWebAPIThrottler::stateForKeyLocked(const ThrottleActionKey& key) const {
    const auto found = throttleActionStates_.find(key);
    return found == throttleActionStates_.end() ? ThrottleActionState() : found->second;
}

}  // namespace tovrin
