#pragma once

#include <QStringList>

#include "platform/xmpp/XMLElement.h"
#include "platform/xmpp/XMPPJID.h"

namespace tovrin::xmpp {

// A `field` of a data form (XEP-0004) with its "var" and `value` children.
class XMPPDataFormField : public XMLElement {
public:
    XMPPDataFormField() : XMLElement(QStringLiteral("field")) {}
    explicit XMPPDataFormField(const XMLElement& element) : XMLElement(element) {}

    static XMPPDataFormField field() { return XMPPDataFormField(); }
    static XMPPDataFormField fieldWithVar(const QString& var) {
        XMPPDataFormField field;
        field.addAttributeWithName(QStringLiteral("var"), var);
        return field;
    }
    static XMPPDataFormField fieldWithVarStringValue(const QString& var, const QString& value) {
        XMPPDataFormField field = fieldWithVar(var);
        field.addStringValue(value);
        return field;
    }
    static XMPPDataFormField fieldWithVarJidValue(const QString& var, const XMPPJID& value) {
        XMPPDataFormField field = fieldWithVar(var);
        field.addJIDValue(value);
        return field;
    }

    void addStringValue(const QString& value) {
        addChild(XMLElement::elementWithName(QStringLiteral("value"), value));
    }
    void addJIDValue(const XMPPJID& value) { addStringValue(value.full()); }

    QString var() const { return attributeStringValueForName(QStringLiteral("var")); }
    QStringList values() const {
        QStringList result;
        for (const XMLElement& value : elementsForName(QStringLiteral("value")))
            result.append(value.stringValue());
        return result;
    }
};

}  // namespace tovrin::xmpp
