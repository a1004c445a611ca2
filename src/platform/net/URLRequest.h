#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <QVariantMap>
#include <optional>

#include "platform/net/HTTPHeaderFields.h"

namespace tovrin::net {

// One HTTP request as the session sends it: address, method, header fields and an optional body.
class URLRequest {
public:
    URLRequest() = default;
    explicit URLRequest(QUrl url) : URL_(std::move(url)) {}

    const QUrl& URL() const { return URL_; }
    void setURL(QUrl url) { URL_ = std::move(url); }

    const QString& HTTPMethod() const { return HTTPMethod_; }
    void setHTTPMethod(QString method) { HTTPMethod_ = std::move(method); }

    const std::optional<QByteArray>& HTTPBody() const { return HTTPBody_; }
    void setHTTPBody(std::optional<QByteArray> body) { HTTPBody_ = std::move(body); }

    const HTTPHeaderFields& allHTTPHeaderFields() const { return headerFields_; }
    std::optional<QString> valueForHTTPHeaderField(const QString& field) const {
        return net::valueForHTTPHeaderField(headerFields_, field);
    }
    // Replaces any earlier value of the field.
    void setValue(const QString& value, const QString& field) {
        setValueForHTTPHeaderField(headerFields_, value, field);
    }

    // Values that travel with the request inside the application and are never sent; an invalid
    // QVariant when the key has none.
    QVariant property(const QString& key) const { return properties_.value(key); }
    void setProperty(const QVariant& value, const QString& key) { properties_.insert(key, value); }

    friend bool operator==(const URLRequest&, const URLRequest&) = default;

private:
    QUrl URL_;
    QString HTTPMethod_ = QStringLiteral("GET");
    std::optional<QByteArray> HTTPBody_;
    HTTPHeaderFields headerFields_;
    QVariantMap properties_;
};

}  // namespace tovrin::net
