#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
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

    friend bool operator==(const URLRequest&, const URLRequest&) = default;

private:
    QUrl URL_;
    QString HTTPMethod_ = QStringLiteral("GET");
    std::optional<QByteArray> HTTPBody_;
    HTTPHeaderFields headerFields_;
};

}  // namespace tovrin::net
