#pragma once

#include "platform/xmpp/XMPPElement.h"

namespace tovrin::xmpp {

class XMPPMessage : public XMPPElement {
public:
    // A new, empty `message`.
    XMPPMessage() : XMPPElement(QStringLiteral("message")) {}
    explicit XMPPMessage(const XMLElement& element) : XMPPElement(element) {}
    XMPPMessage(const QString& type, const std::optional<XMPPJID>& to) : XMPPMessage() {
        if (!type.isEmpty()) setType(type);
        if (to) setTo(*to);
    }

    static XMPPMessage messageWithType(const QString& type, const std::optional<XMPPJID>& to = {}) {
        return XMPPMessage(type, to);
    }

    QString body() const { return elementForName(QStringLiteral("body")).stringValue(); }
    void addBody(const QString& body) { addChild(XMLElement::elementWithName(QStringLiteral("body"), body)); }

    bool isChatMessage() const { return type() == QLatin1String("chat"); }
    bool isErrorMessage() const { return type() == QLatin1String("error"); }
    bool isMessageWithBody() const { return !elementForName(QStringLiteral("body")).isNull(); }
};

}  // namespace tovrin::xmpp
