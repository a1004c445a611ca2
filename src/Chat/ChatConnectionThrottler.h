#pragma once

#include <memory>

#include "platform/di/Inject.h"

namespace tovrin {

class ChatConnectionThrottler;
class RandomValueGenerator;
class Timer;
class TimerFactory;

class ChatConnectionThrottlerDelegate {
public:
    virtual ~ChatConnectionThrottlerDelegate() = default;
    virtual void chatConnectionThrottlerDelegateReadyToConnect(ChatConnectionThrottler& throttler) = 0;
};

// Spaces out the chat client's own reconnection attempts: the first three go at once, each later
// one after a random 1 to 10 s, one at a time. Main thread only.
class ChatConnectionThrottler {
public:
    ChatConnectionThrottler(std::shared_ptr<TimerFactory> timerFactory,
                            std::shared_ptr<RandomValueGenerator> randomValueGenerator);
    ~ChatConnectionThrottler();

    using Dependencies = Inject<TimerFactory, RandomValueGenerator>;

    std::shared_ptr<ChatConnectionThrottlerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<ChatConnectionThrottlerDelegate> delegate) {
        delegate_ = std::move(delegate);
    }

    void startThrottler();
    // Only a throttling throttler resets: a count of 1 or 2 carries over to the next disconnection.
    void stopThrottler();

    unsigned connectionAttempts() const { return connectionAttempts_; }
    bool hasPendingAttempt() const { return chatConnectionTimer_ != nullptr; }

private:
    bool shouldThrottle() const { return connectionAttempts_ >= 3; }
    void start();
    double randomizedThrottleTimeInterval() const;
    void resetThrottler();
    void resetTimer();
    void updateThrottlerStatus(Timer& timer);
    void tellDelegate();

    std::weak_ptr<ChatConnectionThrottlerDelegate> delegate_;
    std::shared_ptr<Timer> chatConnectionTimer_;
    std::shared_ptr<TimerFactory> timerFactory_;
    unsigned connectionAttempts_ = 0;
    std::shared_ptr<RandomValueGenerator> randomValueGenerator_;
};

}  // namespace tovrin
