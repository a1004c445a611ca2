#pragma once

#include <QUrl>

#include "platform/net/HTTPHeaderFields.h"

namespace tovrin::net {

// The status line and header fields of an HTTP answer.
class HTTPURLResponse {
public:
    HTTPURLResponse() = default;
    HTTPURLResponse(QUrl url, int statusCode, HTTPHeaderFields headerFields)
        : URL_(std::move(url)), statusCode_(statusCode), headerFields_(std::move(headerFields)) {}

    const QUrl& URL() const { return URL_; }
    int statusCode() const { return statusCode_; }
    const HTTPHeaderFields& allHeaderFields() const { return headerFields_; }
    std::optional<QString> valueForHTTPHeaderField(const QString& field) const {
        return net::valueForHTTPHeaderField(headerFields_, field);
    }

private:
    QUrl URL_;
    int statusCode_ = 0;
    HTTPHeaderFields headerFields_;
};

}  // namespace tovrin::net
