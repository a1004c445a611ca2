#pragma once

#include <QList>
#include <optional>

#include "platform/xmpp/XEP-0004/XMPPDataFormField.h"

namespace tovrin::xmpp {

inline const QString XMPPDataFormNamespace = QStringLiteral("jabber:x:data");

// A data form (XEP-0004): `x` in "jabber:x:data" with an optional "type" and its fields.
class XMPPDataForm : public XMLElement {
public:
    explicit XMPPDataForm(const std::optional<QString>& type = std::nullopt)
        : XMLElement(QStringLiteral("x"), XMPPDataFormNamespace) {
        if (type) addAttributeWithName(QStringLiteral("type"), *type);
    }
    explicit XMPPDataForm(const XMLElement& element) : XMLElement(element) {}

    static XMPPDataForm formWithType(const std::optional<QString>& type) { return XMPPDataForm(type); }

    void addField(const XMPPDataFormField& field) { addChild(field); }

    std::optional<QString> type() const { return attribute(QStringLiteral("type")); }
    QList<XMPPDataFormField> fields() const {
        QList<XMPPDataFormField> result;
        for (const XMLElement& field : elementsForName(QStringLiteral("field")))
            result.append(XMPPDataFormField(field));
        return result;
    }
};

}  // namespace tovrin::xmpp
