#pragma once

#include "platform/xmpp/XMPPElement.h"

namespace tovrin::xmpp {

class XMPPIQ : public XMPPElement {
public:
    explicit XMPPIQ(const XMLElement& element) : XMPPElement(element) {}
    XMPPIQ(const QString& type, const std::optional<XMPPJID>& to, const QString& elementID,
           const XMLElement& child = {})
        : XMPPElement(QStringLiteral("iq")) {
        setType(type);
        if (to) setTo(*to);
        if (!elementID.isEmpty()) setElementID(elementID);
        if (child) addChild(child);
    }

    static XMPPIQ iqWithType(const QString& type, const QString& elementID, const XMLElement& child = {}) {
        return XMPPIQ(type, std::nullopt, elementID, child);
    }

    bool isGetIQ() const { return type() == QLatin1String("get"); }
    bool isSetIQ() const { return type() == QLatin1String("set"); }
    bool isResultIQ() const { return type() == QLatin1String("result"); }
    bool isErrorIQ() const { return type() == QLatin1String("error"); }
    bool requiresResponse() const { return isGetIQ() || isSetIQ(); }
    // The payload: the first child element.
    XMLElement childElement() const {
        const QList<XMLElement> all = children();
        return all.isEmpty() ? XMLElement() : all.first();
    }
};

}  // namespace tovrin::xmpp
