#include "platform/foundation/URLQueryItem.h"

#include <QStringList>

namespace tovrin {

namespace {

QString encodedQueryPart(const QString& text) {
    // Sub-delimiters that mean nothing inside a query item stay readable.
    return QString::fromLatin1(QUrl::toPercentEncoding(text, "!$'()*,;:@/?"));
}

}  // namespace

QUrl URLBySettingQueryItems(const QUrl& url, const std::optional<URLQueryItems>& queryItems) {
    QUrl result = url;
    if (!queryItems) {
        result.setQuery(QString());
        return result;
    }
    QStringList parts;
    for (const URLQueryItem& item : *queryItems) {
        parts.append(encodedQueryPart(item.name) + "=" + encodedQueryPart(item.value));
    }
    // A null text would remove the query; an empty one keeps the "?".
    const QString query = parts.isEmpty() ? QStringLiteral("") : parts.join('&');
    result.setQuery(query, QUrl::StrictMode);
    return result;
}

}  // namespace tovrin
