#include "platform/net/URLSession.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSslConfiguration>
#include <QTimer>
#include <cmath>

#include "platform/net/URLError.h"
#include "platform/net/URLErrorMapping.h"

namespace tovrin::net {

namespace {

// One request in flight. Captured by the reply's handlers only; the session may go first.
struct Task {
    Resolver<DataTaskResponse> resolver;
    std::shared_ptr<Reachability> reachability;
    bool timedOut = false;
    bool certificateRejected = false;

    void finish(QNetworkReply& reply) {
        const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
        const QNetworkReply::NetworkError error = reply.error();
        if (status.isValid() && !URLErrorMapping::isTransportFailure(error)) {
            resolver.fulfill(DataTaskResponse{response(reply, status.toInt()), reply.readAll()});
            return;
        }
        NetworkFailure failure;
        failure.error = error;
        failure.timedOut = timedOut;
        failure.certificateRejected = certificateRejected;
        failure.networkReachable = !reachability || reachability->isReachable();
        failure.secure = reply.url().scheme() == QLatin1String("https");
        resolver.reject(makeURLError(URLErrorMapping::codeForFailure(failure), reply.errorString()));
    }

    static HTTPURLResponse response(const QNetworkReply& reply, int statusCode) {
        HTTPHeaderFields fields;
        for (const auto& [name, value] : reply.rawHeaderPairs()) {
            fields.append({QString::fromLatin1(name), QString::fromLatin1(value)});
        }
        return HTTPURLResponse(reply.url(), statusCode, fields);
    }
};

int milliseconds(double seconds) {
    const double value = std::ceil(std::max(0.0, seconds) * 1000.0);
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

}  // namespace

struct URLSession::Private {
    URLSessionConfiguration configuration;
    std::shared_ptr<Reachability> reachability;
    QNetworkAccessManager manager;
    QSslConfiguration sslConfiguration = QSslConfiguration::defaultConfiguration();

    void trustAdditionalCertificates() {
        if (configuration.additionalTrustedCAFile.isEmpty()) return;
        const QList<QSslCertificate> certificates =
            QSslCertificate::fromPath(configuration.additionalTrustedCAFile, QSsl::Pem);
        if (certificates.isEmpty()) {
            qWarning("No certificate authority could be read from %s",
                     qUtf8Printable(configuration.additionalTrustedCAFile));
            return;
        }
        sslConfiguration.setCaCertificates(QSslConfiguration::systemCaCertificates() + certificates);
    }

    QNetworkRequest networkRequest(const URLRequest& request) const {
        QNetworkRequest networkRequest(request.URL());
        for (const auto& [name, value] : request.allHTTPHeaderFields()) {
            networkRequest.setRawHeader(name.toLatin1(), value.toLatin1());
        }
        networkRequest.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                                    QNetworkRequest::ManualRedirectPolicy);
        networkRequest.setAttribute(QNetworkRequest::AuthenticationReuseAttribute, QNetworkRequest::Manual);
        networkRequest.setSslConfiguration(sslConfiguration);
        if (configuration.requestCachePolicy == URLRequestCachePolicy::ReturnCacheDataElseLoad) {
            networkRequest.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                                        QNetworkRequest::PreferCache);
        }
        return networkRequest;
    }

    QNetworkReply* send(const URLRequest& request) {
        const QNetworkRequest networkRequest = this->networkRequest(request);
        const QByteArray method = request.HTTPMethod().toLatin1();
        if (request.HTTPBody()) return manager.sendCustomRequest(networkRequest, method, *request.HTTPBody());
        // Only a plain GET is answered from or kept in the cache.
        if (method == "GET") return manager.get(networkRequest);
        return manager.sendCustomRequest(networkRequest, method);
    }

    void watch(QNetworkReply* reply, const std::shared_ptr<Task>& task) const {
        auto* idleTimer = new QTimer(reply);
        idleTimer->setSingleShot(true);
        idleTimer->setInterval(milliseconds(configuration.timeoutIntervalForRequest));
        QObject::connect(idleTimer, &QTimer::timeout, reply, [reply, task] {
            task->timedOut = true;
            reply->abort();
        });
        const auto restart = [idleTimer] { idleTimer->start(); };
        QObject::connect(reply, &QNetworkReply::metaDataChanged, idleTimer, restart);
        QObject::connect(reply, &QNetworkReply::readyRead, idleTimer, restart);
        QObject::connect(reply, &QNetworkReply::uploadProgress, idleTimer, restart);
        QObject::connect(reply, &QNetworkReply::downloadProgress, idleTimer, restart);
        idleTimer->start();

        // Not ignored: the handshake then fails and the request ends as untrusted.
        QObject::connect(reply, &QNetworkReply::sslErrors, reply, [task](const QList<QSslError>& errors) {
            task->certificateRejected = !errors.isEmpty();
        });
        QObject::connect(reply, &QNetworkReply::finished, reply, [reply, task] {
            task->finish(*reply);
            reply->deleteLater();
        });
        // A reply deleted unfinished (the session went away) cancels its request.
        QObject::connect(reply, &QObject::destroyed, [task] {
            task->resolver.reject(
                makeURLError(URLErrorCancelled, QStringLiteral("The session was invalidated")));
        });
    }
};

URLSession::URLSession(URLSessionConfiguration configuration, std::shared_ptr<Reachability> reachability)
    : d_(std::make_unique<Private>()) {
    d_->configuration = std::move(configuration);
    d_->reachability = std::move(reachability);
    d_->manager.setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    if (d_->configuration.URLCache) {
        d_->manager.setCache(d_->configuration.URLCache->makeNetworkCache(
            d_->configuration.requestCachePolicy == URLRequestCachePolicy::ReturnCacheDataElseLoad));
    }
    d_->trustAdditionalCertificates();
}

URLSession::~URLSession() = default;

const URLSessionConfiguration& URLSession::configuration() const {
    return d_->configuration;
}

Promise<DataTaskResponse> URLSession::dataTaskPromise(const URLRequest& request) {
    TVR_ASSERT(MainQueue::isMainThread(), "The URL session is used on the main thread");
    auto [promise, resolver] = Promise<DataTaskResponse>::pending();
    auto task = std::make_shared<Task>(Task{resolver, d_->reachability});
    d_->watch(d_->send(request), task);
    return promise;
}

}  // namespace tovrin::net
