#pragma once

#include <optional>

#include "platform/xmpp/XMLElement.h"
#include "platform/xmpp/XMPPJID.h"

namespace tovrin::xmpp {

// A stanza: a message, presence or IQ element with its addressing attributes.
class XMPPElement : public XMLElement {
public:
    XMPPElement() = default;
    explicit XMPPElement(const XMLElement& element) : XMLElement(element) {}
    explicit XMPPElement(const QString& name) : XMLElement(name) {}

    QString elementID() const { return attributeStringValueForName(QStringLiteral("id")); }
    void setElementID(const QString& elementID) { addAttributeWithName(QStringLiteral("id"), elementID); }
    QString type() const { return attributeStringValueForName(QStringLiteral("type")); }
    void setType(const QString& type) { addAttributeWithName(QStringLiteral("type"), type); }

    QString toStr() const { return attributeStringValueForName(QStringLiteral("to")); }
    QString fromStr() const { return attributeStringValueForName(QStringLiteral("from")); }
    // No value when the attribute is missing or not a valid address.
    std::optional<XMPPJID> to() const { return XMPPJID::jidWithString(toStr()); }
    std::optional<XMPPJID> from() const { return XMPPJID::jidWithString(fromStr()); }
    void setTo(const XMPPJID& to) { addAttributeWithName(QStringLiteral("to"), to.full()); }
    void setFrom(const XMPPJID& from) { addAttributeWithName(QStringLiteral("from"), from.full()); }

    bool isMessage() const { return name() == QLatin1String("message"); }
    bool isPresence() const { return name() == QLatin1String("presence"); }
    bool isIQ() const { return name() == QLatin1String("iq"); }
    bool isStanza() const { return isMessage() || isPresence() || isIQ(); }
};

}  // namespace tovrin::xmpp
