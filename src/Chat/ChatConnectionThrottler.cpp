#include "Chat/ChatConnectionThrottler.h"

#include "Helpers/TimerFactory.h"
#include "Throttling/RandomValueGenerator.h"
#include "platform/foundation/Timer.h"

namespace tovrin {

ChatConnectionThrottler::ChatConnectionThrottler(std::shared_ptr<TimerFactory> timerFactory,
                                                 std::shared_ptr<RandomValueGenerator> randomValueGenerator)
    : timerFactory_(std::move(timerFactory)), randomValueGenerator_(std::move(randomValueGenerator)) {}

ChatConnectionThrottler::~ChatConnectionThrottler() {
    resetTimer();
}

void ChatConnectionThrottler::startThrottler() {
    if (shouldThrottle()) {
        start();
        return;
    }
    ++connectionAttempts_;
    tellDelegate();
}

void ChatConnectionThrottler::stopThrottler() {
    if (shouldThrottle()) resetThrottler();
}

void ChatConnectionThrottler::start() {
    if (chatConnectionTimer_) return;
    chatConnectionTimer_ = timerFactory_->timerOnMainRunLoopWithInterval(
        randomizedThrottleTimeInterval(), [this](Timer& timer) { updateThrottlerStatus(timer); }, {}, false);
}

double ChatConnectionThrottler::randomizedThrottleTimeInterval() const {
    return 1.0 + 9.0 * randomValueGenerator_->randomValue();
}

void ChatConnectionThrottler::resetThrottler() {
    connectionAttempts_ = 0;
    resetTimer();
}

void ChatConnectionThrottler::resetTimer() {
    if (chatConnectionTimer_) chatConnectionTimer_->invalidate();
    chatConnectionTimer_.reset();
}

void ChatConnectionThrottler::updateThrottlerStatus(Timer&) {
    resetTimer();
    tellDelegate();
}

void ChatConnectionThrottler::tellDelegate() {
    if (auto delegate = delegate_.lock()) delegate->chatConnectionThrottlerDelegateReadyToConnect(*this);
}

}  // namespace tovrin
