#pragma once

#include <QAbstractHttpServer>
#include <QHostAddress>
#include <QHttpServerResponder>
#include <QPointer>
#include <QSslConfiguration>
#include <QString>
#include <QStringList>
#include <QTcpSocket>
#include <QUrl>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/promise/Promise.h"
#include "sandbox/http/HTTPReply.h"
#include "sandbox/http/HTTPRequest.h"

namespace tovrin::sandbox {

// One host of the sandbox (the web service, the media host, ...): HTTP or HTTPS on a loopback
// port, with routes by method and path. A route's pattern is a path whose "{}" segments match any
// one segment and reach the handler as `arguments`. A handler may answer later: the connection
// waits for its promise. Lives on the main thread.
class HTTPHost : public QAbstractHttpServer {
public:
    using Handler = std::function<HTTPReply(const HTTPRequest&)>;
    using DeferredHandler = std::function<Promise<HTTPReply>(const HTTPRequest&)>;
    // Runs before the routes; an answer here is the request's answer.
    using Gate = std::function<std::optional<HTTPReply>(const HTTPRequest&)>;

    // A request announcing a larger body is answered 413 before its body is read; one without a
    // length (chunked) is answered 411.
    static constexpr qint64 MaximumBodySize = 16 * 1024 * 1024;

    HTTPHost(QString name, HTTPReply missingReply);
    ~HTTPHost() override;

    // Port 0 takes any free port. With a TLS configuration the host speaks HTTPS.
    bool listenOn(const QHostAddress& address, quint16 port,
                  const std::optional<QSslConfiguration>& tls = std::nullopt);
    // "http://127.0.0.1:8480" or "https://…", without a path.
    QUrl url() const;
    const QString& name() const { return name_; }
    bool isSecure() const { return secure_; }
    // Connections made from now on present this configuration.
    void setTLSConfiguration(const QSslConfiguration& configuration);

    void route(const QByteArray& method, const QString& pattern, Handler handler);
    void routeDeferred(const QByteArray& method, const QString& pattern, DeferredHandler handler);
    void setGate(Gate gate) { gate_ = std::move(gate); }
    // Writes one line per answered request to the log.
    void setLogging(bool logging) { logging_ = logging; }

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    struct Route {
        QByteArray method;
        QStringList segments;
        DeferredHandler handler;
    };
    // An answer to come, and the connection it goes to, which the client may close meanwhile.
    struct PendingAnswer {
        std::unique_ptr<QHttpServerResponder> responder;
        QPointer<QTcpSocket> socket;
    };

    static HTTPRequest makeRequest(const QHttpServerRequest& request);
    const Route* match(HTTPRequest& request) const;
    Promise<HTTPReply> answer(HTTPRequest& request) const;
    void respond(quint64 answerID, const HTTPReply& reply, const HTTPRequest& request);

    const QString name_;
    const HTTPReply missingReply_;
    QHostAddress address_;
    quint16 port_ = 0;
    bool secure_ = false;
    bool logging_ = false;
    std::vector<Route> routes_;
    Gate gate_;
    // They go before the connections they write to.
    std::map<quint64, PendingAnswer> pendingAnswers_;
    quint64 nextAnswerID_ = 1;
};

}  // namespace tovrin::sandbox
