#include "sandbox/http/HTTPHost.h"

#include <QHttpServerRequest>
#include <QJsonObject>
#include <QPointer>
#include <QSslServer>
#include <QTcpServer>
#include <algorithm>

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

// Watches the bytes of one connection before the HTTP server reads them, so that a body over the
// limit is refused from its headers and never buffered. The server reads everything available
// at each readyRead, and this guard's slot runs first, so each call sees exactly the new bytes.
class BodySizeGuard : public QObject {
public:
    explicit BodySizeGuard(QTcpSocket* socket) : QObject(socket), socket_(socket) {
        connect(socket, &QTcpSocket::readyRead, this, [this] { inspect(); });
    }

private:
    static constexpr qsizetype MaximumHeaderSize = 64 * 1024;

    void inspect() {
        if (refused_) {
            socket_->skip(socket_->bytesAvailable());
            return;
        }
        QByteArray fresh = socket_->peek(socket_->bytesAvailable());
        qsizetype position = 0;
        while (position < fresh.size()) {
            if (bodyLeft_ > 0) {
                const qint64 taken = std::min<qint64>(bodyLeft_, fresh.size() - position);
                bodyLeft_ -= taken;
                position += taken;
                continue;
            }
            header_ += fresh.mid(position);
            position = fresh.size();
            const qsizetype end = header_.indexOf("\r\n\r\n");
            if (end < 0) {
                if (header_.size() > MaximumHeaderSize) return refuse(431, "Request Header Fields Too Large");
                break;
            }
            const QByteArray rest = header_.mid(end + 4);
            const std::optional<int> refusal = refusalFor(header_.left(end));
            if (refusal) return refuse(*refusal, *refusal == 413 ? "Content Too Large" : "Length Required");
            header_.clear();
            fresh = rest;
            position = 0;
        }
    }

    // Sets the body to skip; a status when the request must be refused.
    std::optional<int> refusalFor(const QByteArray& header) {
        bodyLeft_ = 0;
        for (const QByteArray& line : header.split('\n')) {
            const qsizetype colon = line.indexOf(':');
            if (colon < 0) continue;
            const QByteArray name = line.left(colon).trimmed().toLower();
            const QByteArray value = line.mid(colon + 1).trimmed();
            // A chunked body's size is not known before it is read.
            if (name == "transfer-encoding") return 411;
            if (name != "content-length") continue;
            bool valid = false;
            const qint64 length = value.toLongLong(&valid);
            if (!valid || length < 0) return 411;
            if (length > HTTPHost::MaximumBodySize) return 413;
            bodyLeft_ = length;
        }
        return std::nullopt;
    }

    void refuse(int status, const char* reason) {
        refused_ = true;
        socket_->skip(socket_->bytesAvailable());
        socket_->write(QByteArrayLiteral("HTTP/1.1 ") + QByteArray::number(status) + ' ' + reason +
                       "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        socket_->disconnectFromHost();
    }

    QTcpSocket* socket_;
    QByteArray header_;
    qint64 bodyLeft_ = 0;
    bool refused_ = false;
};

// A listening socket whose connections get a body size guard before the HTTP server sees them.
template <class Server>
class GuardedServer : public Server {
public:
    using Server::Server;
    QTcpSocket* nextPendingConnection() override {
        QTcpSocket* socket = Server::nextPendingConnection();
        if (socket) new BodySizeGuard(socket);
        return socket;
    }
};

}  // namespace

HTTPHost::HTTPHost(QString name, HTTPReply missingReply)
    : name_(std::move(name)), missingReply_(std::move(missingReply)) {}

HTTPHost::~HTTPHost() {
    // A responder writes to its connection; both go now, the responders first.
    pendingAnswers_.clear();
}

bool HTTPHost::listenOn(const QHostAddress& address, quint16 port,
                        const std::optional<QSslConfiguration>& tls) {
    QTcpServer* server = nullptr;
    if (tls) {
        auto* secureServer = new GuardedServer<QSslServer>(this);
        secureServer->setSslConfiguration(*tls);
        server = secureServer;
    } else {
        server = new GuardedServer<QTcpServer>(this);
    }
    if (!server->listen(address, port)) {
        delete server;
        return false;
    }
    bind(server);
    secure_ = tls.has_value();
    address_ = address;
    port_ = server->serverPort();
    return true;
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
