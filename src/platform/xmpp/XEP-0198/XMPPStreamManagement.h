#pragma once

#include <QStringList>
#include <memory>
#include <optional>

#include "platform/xmpp/XEP-0198/XMPPStanzaAcknowledgementQueue.h"
#include "platform/xmpp/XEP-0198/XMPPStreamManagementStorage.h"
#include "platform/xmpp/XMPPModule.h"
#include "platform/xmpp/XMPPTimerSource.h"

namespace tovrin::xmpp {

inline const QString XMPPStreamManagementNamespace = QStringLiteral("urn:xmpp:sm:3");

class XMPPStreamManagement;

class XMPPStreamManagementDelegate {
public:
    virtual ~XMPPStreamManagementDelegate() = default;
    virtual void xmppStreamManagementWasEnabled(XMPPStreamManagement& sender, const XMLElement& enabled) {}
    virtual void xmppStreamManagementWasNotEnabled(XMPPStreamManagement& sender, const XMLElement& failed) {}
    // The ids of the sent stanzas one acknowledgement of the server settled, in sending order.
    virtual void xmppStreamManagementDidReceiveAckForStanzaIds(XMPPStreamManagement& sender,
                                                               const QStringList& stanzaIds) {}
};

// Stream management (XEP-0198): counts the stanzas both ways once enabled, answers the server's
// acknowledgement requests, asks for acknowledgements after a number of stanzas or a time, and
// reports which sent stanzas the server acknowledged. It runs on the main queue. Resuming a
// stream is not offered: a new connection starts counting afresh.
class XMPPStreamManagement : public XMPPDelegatingModule<XMPPStreamManagementDelegate> {
public:
    explicit XMPPStreamManagement(std::shared_ptr<XMPPStreamManagementStorage> storage,
                                  XMPPTimerSource timerSource = defaultXMPPTimerSource());

    // An acknowledgement is asked for once `stanzaCount` stanzas (0: no count) went unacknowledged,
    // or `timeout` seconds (0: no time) after the first of them.
    void automaticallyRequestAcksAfterStanzaCount(quint32 stanzaCount, double timeout);
    // After sign-in. Resumption and its maximum time (seconds, 0: the server's choice) are asked for
    // only when given.
    void enableStreamManagementWithResumption(bool supportsResumption, double maxTimeout);
    void requestAck();

    bool isEnabled() const { return isEnabled_; }
    const std::shared_ptr<XMPPStreamManagementStorage>& storage() const { return storage_; }

    void xmppStreamDidSendMessage(XMPPStream& sender, const XMPPMessage& message) override;
    void xmppStreamDidSendPresence(XMPPStream& sender, const XMPPPresence& presence) override;
    void xmppStreamDidSendIQ(XMPPStream& sender, const XMPPIQ& iq) override;
    void xmppStreamDidSendCustomElement(XMPPStream& sender, const XMLElement& element) override;
    void xmppStreamDidReceiveMessage(XMPPStream& sender, const XMPPMessage& message) override;
    void xmppStreamDidReceivePresence(XMPPStream& sender, const XMPPPresence& presence) override;
    bool xmppStreamDidReceiveIQ(XMPPStream& sender, const XMPPIQ& iq) override;
    void xmppStreamDidReceiveCustomElement(XMPPStream& sender, const XMLElement& element) override;
    void xmppStreamDidDisconnect(XMPPStream& sender, const std::optional<Error>& error) override;

private:
    void stanzaWasSent(const XMLElement& stanza);
    void stanzaWasReceived();
    void handleEnabled(const XMLElement& enabled);
    void handleFailed(const XMLElement& failed);
    void handleAcknowledgement(const XMLElement& answer);
    void answerRequest();
    void startAckTimer();
    void reset();
    void notify(std::function<void(XMPPStreamManagementDelegate&, XMPPStreamManagement&)> call);

    const std::shared_ptr<XMPPStreamManagementStorage> storage_;
    const XMPPTimerSource timerSource_;
    quint32 ackRequestStanzaCount_ = 0;
    double ackRequestTimeout_ = 0;

    bool isEnabled_ = false;
    bool isResumable_ = false;
    // Outgoing counting starts when `enable` went out, incoming when `enabled` came in.
    std::optional<XMPPStanzaAcknowledgementQueue> sent_;
    std::optional<quint32> handled_;
    quint32 unrequested_ = 0;
    std::shared_ptr<Timer> ackTimer_;
};

}  // namespace tovrin::xmpp
