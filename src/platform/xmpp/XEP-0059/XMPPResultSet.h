#pragma once

#include <QString>
#include <optional>

#include "platform/xmpp/XMLElement.h"

namespace tovrin::xmpp {

inline const QString XMPPResultSetNamespace = QStringLiteral("http://jabber.org/protocol/rsm");

// A result set (XEP-0059): the `set` element that pages a query and describes a page.
class XMPPResultSet : public XMLElement {
public:
    explicit XMPPResultSet(const XMLElement& element) : XMLElement(element) {}
    // `max` when given; `after` and `before` as given, present and empty for an empty text.
    XMPPResultSet(std::optional<qint64> max, const std::optional<QString>& after,
                  const std::optional<QString>& before);

    static XMPPResultSet resultSetWithMaxBefore(qint64 max, const QString& before) {
        return XMPPResultSet(max, std::nullopt, before);
    }
    static XMPPResultSet resultSetWithMaxAfter(qint64 max, const QString& after) {
        return XMPPResultSet(max, after, std::nullopt);
    }

    std::optional<qint64> max() const { return numberFor("max"); }
    std::optional<qint64> count() const { return numberFor("count"); }
    std::optional<QString> after() const { return textFor("after"); }
    std::optional<QString> before() const { return textFor("before"); }
    std::optional<QString> first() const { return textFor("first"); }
    std::optional<QString> last() const { return textFor("last"); }
    // The "index" of `first`.
    std::optional<qint64> firstIndex() const;

    bool hasBefore() const { return !elementForName(QStringLiteral("before")).isNull(); }
    bool hasAfter() const { return !elementForName(QStringLiteral("after")).isNull(); }
    bool hasCount() const { return !elementForName(QStringLiteral("count")).isNull(); }

private:
    std::optional<QString> textFor(const char* name) const;
    std::optional<qint64> numberFor(const char* name) const;
};

}  // namespace tovrin::xmpp
