#pragma once

#include <memory>

#include "InjectorKeys.h"
#include "platform/di/Inject.h"
#include "platform/foundation/Timer.h"

namespace tovrin {

// Makes timers that fire on the main run loop.
class TimerFactory {
public:
    TimerFactory();  // on the main run loop
    explicit TimerFactory(std::shared_ptr<RunLoop> runLoop);
    virtual ~TimerFactory() = default;

    using Dependencies = Inject<Named<RunLoop, InjectorKeyMainRunLoop>>;

    // Returns the timer already scheduled. The caller holds it; letting go of it invalidates it.
    virtual std::shared_ptr<Timer> timerOnMainRunLoopWithInterval(double interval, Timer::Action action,
                                                                  QVariant userInfo, bool repeats);

    std::shared_ptr<RunLoop> mainRunLoop() const { return mainRunLoop_.lock(); }
    void setMainRunLoop(const std::shared_ptr<RunLoop>& runLoop) { mainRunLoop_ = runLoop; }

private:
    std::weak_ptr<RunLoop> mainRunLoop_;
};

}  // namespace tovrin
