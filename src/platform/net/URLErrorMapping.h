#pragma once

#include <QNetworkReply>

namespace tovrin::net {

// What the session knows about a request that ended without an HTTP answer.
struct NetworkFailure {
    QNetworkReply::NetworkError error = QNetworkReply::UnknownNetworkError;
    // The session's own idle timer aborted the request.
    bool timedOut = false;
    // The server's certificate failed verification (the handshake was then refused).
    bool certificateRejected = false;
    // The system reports some network (or has no way to tell).
    bool networkReachable = true;
    bool secure = false;  // an https request
};

// The one table from Qt's failures to the URL-loading codes of `URLError.h`.
class URLErrorMapping {
public:
    static qint64 codeForFailure(const NetworkFailure& failure);

    // Qt reports many statuses (4xx, 5xx, unexpected ones) as errors too. With a status line, only
    // a failure of the connection itself (a body cut short, a time-out) keeps a reply from being an
    // answer.
    static bool isTransportFailure(QNetworkReply::NetworkError error);
};

}  // namespace tovrin::net
