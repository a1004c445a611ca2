#pragma once

#include <optional>

#include "platform/foundation/Error.h"
#include "platform/xmpp/XMLElement.h"
#include "platform/xmpp/XMPPIQ.h"
#include "platform/xmpp/XMPPMessage.h"
#include "platform/xmpp/XMPPPresence.h"

namespace tovrin::xmpp {

class XMPPStream;

// What a stream reports, each on the delegate's queue, later than the call or the data that
// caused it, in the stream's order. Every operation is optional.
class XMPPStreamDelegate {
public:
    virtual ~XMPPStreamDelegate() = default;

    // The stream is open and secured: ready for a sign-in.
    virtual void xmppStreamDidConnect(XMPPStream& sender) {}
    virtual void xmppStreamDidSecure(XMPPStream& sender) {}
    virtual void xmppStreamDidAuthenticate(XMPPStream& sender) {}
    // The server's `failure` (or what the stream made of a refusal); the stream stays open.
    virtual void xmppStreamDidNotAuthenticate(XMPPStream& sender, const XMLElement& error) {}
    // Whether the delegate handles the IQ; when none does, the stream answers a get or set with
    // the error "service-unavailable".
    virtual bool xmppStreamDidReceiveIQ(XMPPStream& sender, const XMPPIQ& iq) { return false; }
    virtual void xmppStreamDidReceiveMessage(XMPPStream& sender, const XMPPMessage& message) {}
    virtual void xmppStreamDidReceivePresence(XMPPStream& sender, const XMPPPresence& presence) {}
    // A stream error from the server; the disconnection follows.
    virtual void xmppStreamDidReceiveError(XMPPStream& sender, const XMLElement& error) {}
    // Top-level elements that are no stanzas, after sign-in (stream management's, for example).
    virtual void xmppStreamDidReceiveCustomElement(XMPPStream& sender, const XMLElement& element) {}
    virtual void xmppStreamDidSendIQ(XMPPStream& sender, const XMPPIQ& iq) {}
    virtual void xmppStreamDidSendMessage(XMPPStream& sender, const XMPPMessage& message) {}
    virtual void xmppStreamDidSendPresence(XMPPStream& sender, const XMPPPresence& presence) {}
    virtual void xmppStreamDidSendCustomElement(XMPPStream& sender, const XMLElement& element) {}
    virtual void xmppStreamDidFailToSendIQ(XMPPStream& sender, const XMPPIQ& iq, const Error& error) {}
    virtual void xmppStreamDidFailToSendMessage(XMPPStream& sender, const XMPPMessage& message,
                                                const Error& error) {}
    virtual void xmppStreamDidFailToSendPresence(XMPPStream& sender, const XMPPPresence& presence,
                                                 const Error& error) {}
    // `disconnect` was called; the disconnection follows.
    virtual void xmppStreamWasToldToDisconnect(XMPPStream& sender) {}
    // Once per connection attempt; no error when the stream was told to disconnect.
    virtual void xmppStreamDidDisconnect(XMPPStream& sender, const std::optional<Error>& error) {}
};

}  // namespace tovrin::xmpp
