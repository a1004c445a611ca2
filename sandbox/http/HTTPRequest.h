#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QUrlQuery>
#include <optional>

namespace tovrin::sandbox {

// One request as a sandbox host received it, with the path segments its route captured.
struct HTTPRequest {
    QByteArray method;
    QString path;          // decoded
    QStringList segments;  // the path's segments, each decoded
    QUrlQuery query;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    QStringList arguments;  // the "{}" segments of the route, in order

    // Case-insensitive; nothing when absent.
    std::optional<QByteArray> header(const QByteArray& name) const;
    // The decoded value of the first query item of that name; nothing when absent.
    std::optional<QString> queryValue(const QString& name) const;
    // The body as a JSON object; nothing when it is no JSON object.
    std::optional<QJsonObject> jsonBody() const;
};

}  // namespace tovrin::sandbox
