#pragma once

#include <memory>

#include "platform/xmpp/XMPPModule.h"
#include "platform/xmpp/XMPPTimerSource.h"

namespace tovrin::xmpp {

class XMPPReconnect;

class XMPPReconnectDelegate {
public:
    virtual ~XMPPReconnectDelegate() = default;
    // The stream, once connected, went down without being told to, while automatic
    // reconnection was on. Reported once per disconnection, before the first new attempt.
    virtual void xmppReconnectDidDetectAccidentalDisconnection(XMPPReconnect& sender) {}
};

// Connects the stream again after an accidental disconnection (automatic reconnection) or when
// asked (manual start): the first attempt after `reconnectDelay`, then one every
// `reconnectTimerInterval` until the stream connects, with the host and address it has.
// Runs on the main queue.
class XMPPReconnect : public XMPPDelegatingModule<XMPPReconnectDelegate> {
public:
    static constexpr double defaultReconnectDelay = 2.0;
    static constexpr double defaultReconnectTimerInterval = 20.0;

    explicit XMPPReconnect(XMPPTimerSource timerSource = defaultXMPPTimerSource());

    bool autoReconnect() const { return autoReconnect_; }
    void setAutoReconnect(bool autoReconnect);
    double reconnectDelay() const { return reconnectDelay_; }
    void setReconnectDelay(double seconds) { reconnectDelay_ = seconds; }
    // 0 or less: a single attempt.
    double reconnectTimerInterval() const { return reconnectTimerInterval_; }
    void setReconnectTimerInterval(double seconds) { reconnectTimerInterval_ = seconds; }

    // Reconnects now (after the delay) if the stream is disconnected, retrying until it connects.
    void manualStart();
    // Ends the attempts under way.
    void stop();

    void xmppStreamDidConnect(XMPPStream& sender) override;
    void xmppStreamWasToldToDisconnect(XMPPStream& sender) override;
    void xmppStreamDidDisconnect(XMPPStream& sender, const std::optional<Error>& error) override;

protected:
    void willDeactivate() override;

private:
    void startAttempts();
    void attempt();
    bool shouldGoOn() const { return autoReconnect_ || isManuallyStarted_; }

    const XMPPTimerSource timerSource_;
    bool autoReconnect_ = true;
    double reconnectDelay_ = defaultReconnectDelay;
    double reconnectTimerInterval_ = defaultReconnectTimerInterval;

    // Set while the stream is connected and was not told to disconnect.
    bool shouldReconnect_ = false;
    bool isManuallyStarted_ = false;
    std::shared_ptr<Timer> delayTimer_;
    std::shared_ptr<Timer> retryTimer_;
};

}  // namespace tovrin::xmpp
