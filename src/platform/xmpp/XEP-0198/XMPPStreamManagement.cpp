#include "platform/xmpp/XEP-0198/XMPPStreamManagement.h"

#include "platform/foundation/MainQueue.h"
#include "platform/xmpp/XMPPStream.h"

namespace tovrin::xmpp {

namespace {

bool isOurs(const XMLElement& element, const char* name) {
    return element.name() == QLatin1String(name) && element.xmlns() == XMPPStreamManagementNamespace;
}

std::optional<quint32> countOf(const XMLElement& element) {
    bool isNumber = false;
    const qulonglong value = element.attributeStringValueForName(QStringLiteral("h")).toULongLong(&isNumber);
    if (!isNumber || value > 0xFFFFFFFFull) return std::nullopt;
    return static_cast<quint32>(value);
}

std::optional<QString> stanzaID(const XMLElement& stanza) {
    return stanza.attribute(QStringLiteral("id"));
}

}  // namespace

XMPPStreamManagement::XMPPStreamManagement(std::shared_ptr<XMPPStreamManagementStorage> storage,
                                           XMPPTimerSource timerSource)
    : XMPPDelegatingModule(DispatchQueue::main()),
      storage_(std::move(storage)),
      timerSource_(std::move(timerSource)) {}

void XMPPStreamManagement::notify(
    std::function<void(XMPPStreamManagementDelegate&, XMPPStreamManagement&)> call) {
    auto self = sharedSelf<XMPPStreamManagement>();
    multicastDelegate_.invoke(
        [self, call = std::move(call)](XMPPStreamManagementDelegate& delegate) { call(delegate, *self); });
}

void XMPPStreamManagement::automaticallyRequestAcksAfterStanzaCount(quint32 stanzaCount, double timeout) {
    ackRequestStanzaCount_ = stanzaCount;
    ackRequestTimeout_ = timeout;
}

void XMPPStreamManagement::enableStreamManagementWithResumption(bool supportsResumption, double maxTimeout) {
    TVR_ASSERT(MainQueue::isMainThread(), "Stream management runs on the main queue");
    std::shared_ptr<XMPPStream> stream = xmppStream();
    const bool offered = stream && stream->isAuthenticated() &&
                         !stream->serverFeatures()
                              .elementForName(QStringLiteral("sm"), XMPPStreamManagementNamespace)
                              .isNull();
    if (!offered || isEnabled_) {
        XMLElement failed(QStringLiteral("failed"), XMPPStreamManagementNamespace);
        failed.addChild(XMLElement(
            isEnabled_ ? QStringLiteral("unexpected-request") : QStringLiteral("feature-not-implemented"),
            QStringLiteral("urn:ietf:params:xml:ns:xmpp-stanzas")));
        notify([failed](XMPPStreamManagementDelegate& delegate, XMPPStreamManagement& sender) {
            delegate.xmppStreamManagementWasNotEnabled(sender, failed);
        });
        return;
    }
    XMLElement enable(QStringLiteral("enable"), XMPPStreamManagementNamespace);
    if (supportsResumption) enable.addAttributeWithName(QStringLiteral("resume"), QStringLiteral("true"));
    if (supportsResumption && maxTimeout > 0) {
        enable.addAttributeWithName(QStringLiteral("max"), QString::number(static_cast<qint64>(maxTimeout)));
    }
    stream->sendElement(enable);
}

void XMPPStreamManagement::requestAck() {
    std::shared_ptr<XMPPStream> stream = xmppStream();
    if (!stream || !sent_) return;
    unrequested_ = 0;
    ackTimer_.reset();
    stream->sendElement(XMLElement(QStringLiteral("r"), XMPPStreamManagementNamespace));
}

void XMPPStreamManagement::xmppStreamDidSendMessage(XMPPStream&, const XMPPMessage& message) {
    stanzaWasSent(message);
}

void XMPPStreamManagement::xmppStreamDidSendPresence(XMPPStream&, const XMPPPresence& presence) {
    stanzaWasSent(presence);
}

void XMPPStreamManagement::xmppStreamDidSendIQ(XMPPStream&, const XMPPIQ& iq) {
    stanzaWasSent(iq);
}

void XMPPStreamManagement::xmppStreamDidSendCustomElement(XMPPStream&, const XMLElement& element) {
    if (isOurs(element, "enable")) {
        sent_.emplace();
        unrequested_ = 0;
    }
}

void XMPPStreamManagement::stanzaWasSent(const XMLElement& stanza) {
    if (!sent_) return;
    sent_->stanzaWasSent(stanzaID(stanza));
    ++unrequested_;
    if (ackRequestStanzaCount_ > 0 && unrequested_ >= ackRequestStanzaCount_) {
        requestAck();
    } else if (ackRequestTimeout_ > 0 && !ackTimer_) {
        startAckTimer();
    }
}

void XMPPStreamManagement::startAckTimer() {
    ackTimer_ = timerSource_(ackRequestTimeout_, false, [weak = weakSelf<XMPPStreamManagement>()](Timer&) {
        auto self = weak.lock();
        if (!self) return;
        self->ackTimer_.reset();
        if (self->unrequested_ > 0) self->requestAck();
    });
}

void XMPPStreamManagement::xmppStreamDidReceiveMessage(XMPPStream&, const XMPPMessage&) {
    stanzaWasReceived();
}

void XMPPStreamManagement::xmppStreamDidReceivePresence(XMPPStream&, const XMPPPresence&) {
    stanzaWasReceived();
}

bool XMPPStreamManagement::xmppStreamDidReceiveIQ(XMPPStream&, const XMPPIQ&) {
    stanzaWasReceived();
    return false;
}

void XMPPStreamManagement::stanzaWasReceived() {
    if (handled_) *handled_ += 1;
}

void XMPPStreamManagement::xmppStreamDidReceiveCustomElement(XMPPStream&, const XMLElement& element) {
    if (isOurs(element, "r")) {
        answerRequest();
    } else if (isOurs(element, "a")) {
        handleAcknowledgement(element);
    } else if (isOurs(element, "enabled")) {
        handleEnabled(element);
    } else if (isOurs(element, "failed")) {
        handleFailed(element);
    }
}

void XMPPStreamManagement::answerRequest() {
    std::shared_ptr<XMPPStream> stream = xmppStream();
    if (!stream || !handled_) return;
    XMLElement answer(QStringLiteral("a"), XMPPStreamManagementNamespace);
    answer.addAttributeWithName(QStringLiteral("h"), QString::number(*handled_));
    stream->sendElement(answer);
}

void XMPPStreamManagement::handleAcknowledgement(const XMLElement& answer) {
    const std::optional<quint32> h = countOf(answer);
    if (!sent_ || !h) return;
    const QStringList ids = sent_->acknowledge(*h);
    if (ids.isEmpty()) return;
    notify([ids](XMPPStreamManagementDelegate& delegate, XMPPStreamManagement& sender) {
        delegate.xmppStreamManagementDidReceiveAckForStanzaIds(sender, ids);
    });
}

void XMPPStreamManagement::handleEnabled(const XMLElement& enabled) {
    isEnabled_ = true;
    handled_ = 0;
    const QString resumptionID = enabled.attributeStringValueForName(QStringLiteral("id"));
    const QString resume = enabled.attributeStringValueForName(QStringLiteral("resume"));
    isResumable_ =
        !resumptionID.isEmpty() && (resume == QLatin1String("true") || resume == QLatin1String("1"));
    if (isResumable_) {
        storage_->saveState(
            {resumptionID, enabled.attributeStringValueForName(QStringLiteral("max")).toDouble(), 0, 0});
    } else {
        storage_->clearState();
    }
    notify([enabled](XMPPStreamManagementDelegate& delegate, XMPPStreamManagement& sender) {
        delegate.xmppStreamManagementWasEnabled(sender, enabled);
    });
}

void XMPPStreamManagement::handleFailed(const XMLElement& failed) {
    reset();
    notify([failed](XMPPStreamManagementDelegate& delegate, XMPPStreamManagement& sender) {
        delegate.xmppStreamManagementWasNotEnabled(sender, failed);
    });
}

void XMPPStreamManagement::xmppStreamDidDisconnect(XMPPStream&, const std::optional<Error>&) {
    if (isResumable_) {
        XMPPStreamManagementState state = storage_->state();
        state.handledByClient = handled_.value_or(0);
        state.handledByServer = sent_ ? sent_->lastAcknowledged() : 0;
        storage_->saveState(state);
    }
    reset();
}

void XMPPStreamManagement::reset() {
    isEnabled_ = false;
    isResumable_ = false;
    sent_.reset();
    handled_.reset();
    unrequested_ = 0;
    ackTimer_.reset();
}

}  // namespace tovrin::xmpp
