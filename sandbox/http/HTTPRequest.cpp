#include "sandbox/http/HTTPRequest.h"

#include <QJsonDocument>

namespace tovrin::sandbox {

std::optional<QByteArray> HTTPRequest::header(const QByteArray& name) const {
    for (const auto& [key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0) return value;
    }
    return std::nullopt;
}

std::optional<QString> HTTPRequest::queryValue(const QString& name) const {
    if (!query.hasQueryItem(name)) return std::nullopt;
    return query.queryItemValue(name, QUrl::FullyDecoded);
}

std::optional<QJsonObject> HTTPRequest::jsonBody() const {
    const QJsonDocument document = QJsonDocument::fromJson(body);
    if (!document.isObject()) return std::nullopt;
    return document.object();
}

}  // namespace tovrin::sandbox
