#include "Helpers/TimerFactory.h"

namespace tovrin {

TimerFactory::TimerFactory() : TimerFactory(RunLoop::main()) {}

TimerFactory::TimerFactory(std::shared_ptr<RunLoop> runLoop) : mainRunLoop_(runLoop) {}

std::shared_ptr<Timer> TimerFactory::timerOnMainRunLoopWithInterval(double interval, Timer::Action action,
                                                                    QVariant userInfo, bool repeats) {
    auto timer = std::make_shared<Timer>(interval, repeats, std::move(userInfo), std::move(action));
    // The main run loop is the only one there is, so a factory whose loop went still uses it.
    auto runLoop = mainRunLoop_.lock();
    (runLoop ? runLoop : RunLoop::main())->addTimer(*timer);
    return timer;
}

}  // namespace tovrin
