#include "sandbox/http/HTTPHost.h"

#include <QHttpServerRequest>
#include <QJsonObject>
#include <QPointer>
#include <QSslServer>
#include <QTcpServer>

namespace tovrin::sandbox {

namespace {

QByteArray methodName(QHttpServerRequest::Method method) {
    switch (method) {
        case QHttpServerRequest::Method::Get:
            return "GET";
        case QHttpServerRequest::Method::Put:
            return "PUT";
        case QHttpServerRequest::Method::Delete:
            return "DELETE";
        case QHttpServerRequest::Method::Post:
            return "POST";
        case QHttpServerRequest::Method::Head:
            return "HEAD";
        case QHttpServerRequest::Method::Options:
            return "OPTIONS";
        case QHttpServerRequest::Method::Patch:
            return "PATCH";
        default:
            return "UNKNOWN";
    }
}

QStringList segmentsOf(const QString& path) {
    return path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
}

}  // namespace

HTTPHost::HTTPHost(QString name, HTTPReply missingReply)
    : name_(std::move(name)), missingReply_(std::move(missingReply)) {}

HTTPHost::~HTTPHost() {
    // A responder writes to its connection; both go now, the responders first.
    pendingAnswers_.clear();
}

bool HTTPHost::listenOn(const QHostAddress& address, quint16 port,
                        const std::optional<QSslConfiguration>& tls) {
    if (tls) sslSetup(*tls);
    secure_ = tls.has_value();
    address_ = address;
    port_ = listen(address, port);
    return port_ != 0;
}

QUrl HTTPHost::url() const {
    QUrl url;
    url.setScheme(secure_ ? QStringLiteral("https") : QStringLiteral("http"));
    url.setHost(address_.toString());
    url.setPort(port_);
    return url;
}

void HTTPHost::setTLSConfiguration(const QSslConfiguration& configuration) {
    for (QTcpServer* server : servers()) {
        if (auto* secureServer = qobject_cast<QSslServer*>(server))
            secureServer->setSslConfiguration(configuration);
    }
}

void HTTPHost::route(const QByteArray& method, const QString& pattern, Handler handler) {
    routeDeferred(method, pattern, [handler = std::move(handler)](const HTTPRequest& request) {
        return Promise<HTTPReply>::resolved(handler(request));
    });
}

void HTTPHost::routeDeferred(const QByteArray& method, const QString& pattern, DeferredHandler handler) {
    routes_.push_back({method, segmentsOf(pattern), std::move(handler)});
}

HTTPRequest HTTPHost::makeRequest(const QHttpServerRequest& request) {
    HTTPRequest incoming;
    incoming.method = methodName(request.method());
    incoming.path = request.url().path(QUrl::FullyDecoded);
    for (const QString& segment : segmentsOf(request.url().path(QUrl::FullyEncoded)))
        incoming.segments << QUrl::fromPercentEncoding(segment.toUtf8());
    incoming.query = request.query();
    incoming.headers = request.headers();
    incoming.body = request.body();
    return incoming;
}

const HTTPHost::Route* HTTPHost::match(HTTPRequest& request) const {
    const QStringList& segments = request.segments;
    for (const Route& route : routes_) {
        if (route.method != request.method || route.segments.size() != segments.size()) continue;
        QStringList arguments;
        bool matches = true;
        for (qsizetype index = 0; index < segments.size() && matches; ++index) {
            if (route.segments[index] == QLatin1String("{}")) {
                arguments << segments[index];
            } else {
                matches = route.segments[index] == segments[index];
            }
        }
        if (matches) {
            request.arguments = arguments;
            return &route;
        }
    }
    return nullptr;
}

Promise<HTTPReply> HTTPHost::answer(HTTPRequest& request) const {
    if (gate_) {
        if (std::optional<HTTPReply> reply = gate_(request)) return Promise<HTTPReply>::resolved(*reply);
    }
    const Route* route = match(request);
    if (route == nullptr) return Promise<HTTPReply>::resolved(missingReply_);
    return route->handler(request).catchError([](const Error& error) {
        return HTTPReply::json(QJsonObject{{"code", 0}, {"message", error.description()}}, 500);
    });
}

bool HTTPHost::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    HTTPRequest incoming = makeRequest(request);
    const quint64 answerID = nextAnswerID_++;
    pendingAnswers_.emplace(
        answerID,
        PendingAnswer{std::make_unique<QHttpServerResponder>(makeResponder(request, socket)), socket});
    QPointer<HTTPHost> self(this);
    answer(incoming).then([self, answerID, incoming](const HTTPReply& reply) {
        if (self) self->respond(answerID, reply, incoming);
    });
    return true;
}

void HTTPHost::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
    // Every request is handled above.
    Q_UNUSED(request);
    Q_UNUSED(socket);
}

void HTTPHost::respond(quint64 answerID, const HTTPReply& reply, const HTTPRequest& request) {
    const auto pending = pendingAnswers_.find(answerID);
    if (pending == pendingAnswers_.end()) return;
    // A client that closed its connection meanwhile gets nothing.
    if (pending->second.socket) {
        pending->second.responder->write(reply.body, {{QByteArrayLiteral("Content-Type"), reply.contentType}},
                                         static_cast<QHttpServerResponder::StatusCode>(reply.status));
    }
    pendingAnswers_.erase(pending);
    if (logging_) {
        qInfo().noquote() << QStringLiteral("%1: %2 %3 → %4")
                                 .arg(name_, QString::fromLatin1(request.method), request.path)
                                 .arg(reply.status);
    }
}

}  // namespace tovrin::sandbox
