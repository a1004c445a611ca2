#include "platform/xmpp/Reconnect/XMPPReconnect.h"

#include "platform/foundation/MainQueue.h"
#include "platform/xmpp/XMPPStream.h"

namespace tovrin::xmpp {

XMPPReconnect::XMPPReconnect(XMPPTimerSource timerSource)
    : XMPPDelegatingModule(DispatchQueue::main()), timerSource_(std::move(timerSource)) {}

void XMPPReconnect::setAutoReconnect(bool autoReconnect) {
    autoReconnect_ = autoReconnect;
    if (!shouldGoOn()) stop();
}

void XMPPReconnect::manualStart() {
    TVR_ASSERT(MainQueue::isMainThread(), "The reconnect facility runs on the main queue");
    std::shared_ptr<XMPPStream> stream = xmppStream();
    if (!stream || !stream->isDisconnected()) return;
    isManuallyStarted_ = true;
    startAttempts();
}

void XMPPReconnect::stop() {
    isManuallyStarted_ = false;
    delayTimer_.reset();
    retryTimer_.reset();
}

void XMPPReconnect::startAttempts() {
    auto fire = [weak = weakSelf<XMPPReconnect>()](Timer&) {
        if (auto self = weak.lock()) self->attempt();
    };
    delayTimer_ = timerSource_(std::max(0.0, reconnectDelay_), false, fire);
    retryTimer_.reset();
    if (reconnectTimerInterval_ > 0) retryTimer_ = timerSource_(reconnectTimerInterval_, true, fire);
}

void XMPPReconnect::attempt() {
    std::shared_ptr<XMPPStream> stream = xmppStream();
    if (!stream || !shouldGoOn()) {
        stop();
        return;
    }
    // A refused connect (still connecting from the last attempt) just waits for the next one.
    if (stream->isDisconnected()) stream->connectWithTimeout(XMPPStream::XMPPStreamTimeoutNone);
    if (reconnectTimerInterval_ <= 0) isManuallyStarted_ = false;
}

void XMPPReconnect::xmppStreamDidConnect(XMPPStream&) {
    shouldReconnect_ = true;
    stop();
}

void XMPPReconnect::xmppStreamWasToldToDisconnect(XMPPStream&) {
    shouldReconnect_ = false;
    stop();
}

void XMPPReconnect::xmppStreamDidDisconnect(XMPPStream&, const std::optional<Error>&) {
    const bool accidental = shouldReconnect_;
    shouldReconnect_ = false;
    if (!accidental || !autoReconnect_) return;
    auto self = sharedSelf<XMPPReconnect>();
    multicastDelegate_.invoke([self](XMPPReconnectDelegate& delegate) {
        delegate.xmppReconnectDidDetectAccidentalDisconnection(*self);
    });
    startAttempts();
}

void XMPPReconnect::willDeactivate() {
    stop();
}

}  // namespace tovrin::xmpp
