#pragma once

#include <functional>
#include <memory>

#include "platform/foundation/Timer.h"

namespace tovrin::xmpp {

// Makes the library's timers (keep-alive, acknowledgement requests, reconnection), already
// scheduled. Tests hand in their own source and fire the timers themselves.
using XMPPTimerSource =
    std::function<std::shared_ptr<Timer>(double interval, bool repeats, Timer::Action action)>;

// Timers on the main run loop.
inline XMPPTimerSource defaultXMPPTimerSource() {
    return [](double interval, bool repeats, Timer::Action action) {
        auto timer = std::make_shared<Timer>(interval, repeats, QVariant(), std::move(action));
        RunLoop::main()->addTimer(*timer);
        return timer;
    };
}

}  // namespace tovrin::xmpp
