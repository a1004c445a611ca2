#pragma once

#include "platform/xmpp/XMPPElement.h"

namespace tovrin::xmpp {

class XMPPPresence : public XMPPElement {
public:
    // A new, empty `presence`: available, to the server.
    XMPPPresence() : XMPPElement(QStringLiteral("presence")) {}
    explicit XMPPPresence(const XMLElement& element) : XMPPElement(element) {}

    static XMPPPresence presenceWithType(const QString& type, const std::optional<XMPPJID>& to = {}) {
        XMPPPresence presence;
        if (!type.isEmpty()) presence.setType(type);
        if (to) presence.setTo(*to);
        return presence;
    }
};

}  // namespace tovrin::xmpp
