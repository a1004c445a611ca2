#pragma once

#include <QVariant>
#include <functional>
#include <memory>

class QTimer;

namespace tovrin {

// A timer on the main thread. Its owner holds it; when the last reference goes it is invalidated,
// so an action may capture what owns the timer without outliving it.
class Timer {
public:
    using Action = std::function<void(Timer&)>;

    Timer(double interval, bool repeats, QVariant userInfo, Action action);
    virtual ~Timer();

    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    // Starts counting on the main run loop; called on the main thread, once.
    void schedule();
    // Runs the action now; a non-repeating timer is invalid afterwards.
    void fire();
    void invalidate();

    bool isValid() const { return valid_; }
    double timeInterval() const { return interval_; }
    bool repeats() const { return repeats_; }
    const QVariant& userInfo() const { return userInfo_; }

private:
    void stopQTimer();

    const double interval_;
    const bool repeats_;
    const QVariant userInfo_;
    Action action_;
    bool valid_ = true;
    QTimer* qtimer_ = nullptr;
};

// The main thread's run loop; timers added to it fire on the main thread.
class RunLoop {
public:
    static std::shared_ptr<RunLoop> main();
    void addTimer(Timer& timer);

private:
    RunLoop() = default;
};

}  // namespace tovrin
