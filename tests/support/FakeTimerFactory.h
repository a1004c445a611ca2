#pragma once

#include <algorithm>
#include <memory>
#include <vector>

#include "Helpers/TimerFactory.h"

namespace tovrin::test {

// Makes timers that never count: the test fires them. The owner still holds each timer, so a
// timer its owner let go of is invalid and firing it does nothing.
class FakeTimerFactory : public TimerFactory {
public:
    std::shared_ptr<Timer> timerOnMainRunLoopWithInterval(double interval, Timer::Action action,
                                                          QVariant userInfo, bool repeats) override {
        auto timer = std::make_shared<Timer>(interval, repeats, std::move(userInfo), std::move(action));
        timers_.push_back(timer);
        return timer;
    }

    // The timers still held and valid, oldest first.
    std::vector<std::shared_ptr<Timer>> scheduledTimers() const {
        std::vector<std::shared_ptr<Timer>> live;
        for (const auto& weak : timers_) {
            if (auto timer = weak.lock(); timer && timer->isValid()) live.push_back(timer);
        }
        return live;
    }
    // Fires every valid timer of that interval; returns how many fired.
    int fireTimersWithInterval(double interval) {
        int fired = 0;
        for (const auto& timer : scheduledTimers()) {
            if (timer->timeInterval() != interval) continue;
            timer->fire();
            ++fired;
        }
        return fired;
    }
    bool hasTimerWithInterval(double interval) const {
        const auto live = scheduledTimers();
        return std::any_of(live.begin(), live.end(),
                           [interval](const auto& timer) { return timer->timeInterval() == interval; });
    }

private:
    std::vector<std::weak_ptr<Timer>> timers_;
};

}  // namespace tovrin::test
