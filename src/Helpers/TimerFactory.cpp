#include "Helpers/TimerFactory.h"

#include "InjectorKeys.h"
#include "platform/di/Injector.h"

namespace tovrin {

TimerFactory::TimerFactory() : TimerFactory(RunLoop::main()) {}

TimerFactory::TimerFactory(std::shared_ptr<RunLoop> runLoop) : mainRunLoop_(runLoop) {}

std::shared_ptr<TimerFactory> TimerFactory::create(Injector& injector) {
    return std::make_shared<TimerFactory>(injector.get<RunLoop>(InjectorKeyMainRunLoop));
}

std::shared_ptr<Timer> TimerFactory::timerOnMainRunLoopWithInterval(double interval, Timer::Action action,
                                                                    QVariant userInfo, bool repeats) {
    auto timer = std::make_shared<Timer>(interval, repeats, std::move(userInfo), std::move(action));
    // The main run loop is the only one there is, so a factory whose loop went still uses it.
    auto runLoop = mainRunLoop_.lock();
    (runLoop ? runLoop : RunLoop::main())->addTimer(*timer);
    return timer;
}

}  // namespace tovrin
