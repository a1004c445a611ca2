#include "platform/xmpp/XEP-0059/XMPPResultSet.h"

namespace tovrin::xmpp {

namespace {

std::optional<qint64> numberIn(const QString& text) {
    bool isNumber = false;
    const qint64 value = text.trimmed().toLongLong(&isNumber);
    return isNumber ? std::optional<qint64>(value) : std::nullopt;
}

}  // namespace

XMPPResultSet::XMPPResultSet(std::optional<qint64> max, const std::optional<QString>& after,
                             const std::optional<QString>& before)
    : XMLElement(QStringLiteral("set"), XMPPResultSetNamespace) {
    if (max) addChild(XMLElement::elementWithName(QStringLiteral("max"), QString::number(*max)));
    if (after) addChild(XMLElement::elementWithName(QStringLiteral("after"), *after));
    if (before) addChild(XMLElement::elementWithName(QStringLiteral("before"), *before));
}

std::optional<QString> XMPPResultSet::textFor(const char* name) const {
    const XMLElement element = elementForName(QLatin1String(name));
    if (element.isNull()) return std::nullopt;
    return element.stringValue();
}

std::optional<qint64> XMPPResultSet::numberFor(const char* name) const {
    const std::optional<QString> text = textFor(name);
    return text ? numberIn(*text) : std::nullopt;
}

std::optional<qint64> XMPPResultSet::firstIndex() const {
    const XMLElement first = elementForName(QStringLiteral("first"));
    const std::optional<QString> index = first.attribute(QStringLiteral("index"));
    return index ? numberIn(*index) : std::nullopt;
}

}  // namespace tovrin::xmpp
