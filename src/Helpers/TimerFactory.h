#pragma once

#include <memory>

#include "platform/foundation/Timer.h"

namespace tovrin {

class Injector;

// Makes timers that fire on the main run loop.
class TimerFactory {
public:
    TimerFactory();  // on the main run loop
    explicit TimerFactory(std::shared_ptr<RunLoop> runLoop);
    virtual ~TimerFactory() = default;

    // Container initializer: the run loop of "MainRunLoop".
    static std::shared_ptr<TimerFactory> create(Injector& injector);

    // Returns the timer already scheduled. The caller holds it; letting go of it invalidates it.
    virtual std::shared_ptr<Timer> timerOnMainRunLoopWithInterval(double interval, Timer::Action action,
                                                                  QVariant userInfo, bool repeats);

    std::shared_ptr<RunLoop> mainRunLoop() const { return mainRunLoop_.lock(); }
    void setMainRunLoop(const std::shared_ptr<RunLoop>& runLoop) { mainRunLoop_ = runLoop; }

private:
    std::weak_ptr<RunLoop> mainRunLoop_;
};

}  // namespace tovrin
