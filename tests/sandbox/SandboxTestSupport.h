#pragma once

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <memory>

#include "API/BootstrapManager.h"
#include "API/BootstrapService.h"
#include "API/ServiceJSONMapper.h"
#include "API/TovrinAPIRequest.h"
#include "API/TovrinEndpoint.h"
#include "API/TovrinServiceError.h"
#include "API/URLProvider.h"
#include "API/URLService.h"
#include "API/WebClientTestSupport.h"
#include "platform/foundation/Bundle.h"
#include "platform/net/URLSession.h"
#include "sandbox/Sandbox.h"
#include "sandbox/SandboxOptions.h"
#include "support/TestSupport.h"

namespace tovrin::test {

// How long (milliseconds) the sandbox tests wait for something that should happen: sanitizer
// builds start many servers side by side. Waits end as soon as the thing happens.
inline constexpr int sandboxPatience = 180000;

// A web session that waits as long as the tests do.
inline net::URLSessionConfiguration patientSessionConfiguration() {
    net::URLSessionConfiguration configuration;
    configuration.timeoutIntervalForRequest = sandboxPatience / 1000.0;
    return configuration;
}

// The member's session token on every request, as the signed-in web service will add it: the
// stand-in for the signed-in client, which another part of the project builds.
class AuthorizingTovrinService : public TovrinService {
public:
    using TovrinService::TovrinService;

    Promise<QJsonValue> JSONWithURLRequest(const net::URLRequest& request) override {
        net::URLRequest authorized = request;
        if (!sessionToken.isEmpty()) authorized.setValue("Tovrin3 " + sessionToken, "Authorization");
        return JSONWithURLRequestDeferred(authorized, JSONDeferred::make());
    }

    QString sessionToken;
};

// The signed-in endpoint's base addresses: the host address for API requests, the bootstrap's
// upload host for uploads.
class SignedInEndpoint : public TovrinEndpoint {
public:
    SignedInEndpoint(std::shared_ptr<URLService> urlService, std::shared_ptr<TovrinService> service,
                     std::shared_ptr<HTTPHeaderFurnisher> furnisher, QUrl apiURL, QUrl uploadURL)
        : TovrinEndpoint(std::move(urlService), std::move(service), std::move(furnisher)),
          apiURL_(std::move(apiURL)),
          uploadURL_(std::move(uploadURL)) {}

protected:
    Promise<QUrl> urlPromiseForServiceType(TovrinRequestType serviceType) override {
        return Promise<QUrl>::resolved(serviceType == TovrinRequestTypeUpload ? uploadURL_ : apiURL_);
    }

private:
    QUrl apiURL_;
    QUrl uploadURL_;
};

// What a sign-in answered.
struct SignedInMember {
    QString profileID;
    QString sessionToken;
    QString xmppToken;
};

// A sandbox in the test's own process and the client's web client over it: signed-out calls
// through the client's own endpoint, signed-in calls through the stand-in above, admin calls raw.
class SandboxTest : public testing::Test {
protected:
    virtual sandbox::SandboxOptions options() const { return sandbox::SandboxOptions::forTests(); }

    void SetUp() override {
        sandbox = std::make_shared<sandbox::Sandbox>(options());
        const Promise<void> started = sandbox->start();
        ASSERT_TRUE(waitFor(started, sandboxPatience));
        ASSERT_TRUE(started.isFulfilled()) << started.error()->description().toStdString();
        bundle = std::make_shared<Bundle>(QVariantMap{{"TovrinHostURL", sandbox->webURL().toString()}});
        const auto urlService =
            std::make_shared<URLService>(std::make_shared<BootstrapManager>(bootstrapService()));
        endpoint = std::make_shared<TovrinEndpoint>(urlService, service, web.headerFurnisher);
        signedInEndpoint = std::make_shared<SignedInEndpoint>(
            urlService, authorizingService, web.headerFurnisher, sandbox->webURL(), sandbox->uploadURL());
    }

    void TearDown() override {
        if (sandbox) sandbox->stop();
        drainMainQueue();
    }

    std::shared_ptr<BootstrapService> bootstrapService() const {
        return std::make_shared<BootstrapService>(service, std::make_shared<URLProvider>(bundle),
                                                  std::make_shared<ServiceJSONMapper>());
    }

    static Promise<QJsonValue> settled(Promise<QJsonValue> promise) {
        EXPECT_TRUE(waitFor(promise, sandboxPatience));
        return promise;
    }

    // A call while signed out, through the client's endpoint.
    Promise<QJsonValue> send(std::shared_ptr<const TovrinRequest> request) {
        return settled(endpoint->JSONWithRequest(std::move(request)));
    }

    // A call as the member signed in last.
    Promise<QJsonValue> sendSignedIn(std::shared_ptr<const TovrinRequest> request) {
        return settled(signedInEndpoint->JSONWithRequest(std::move(request)));
    }

    // The answer's object; a failed call fails the test.
    static QJsonObject answerOf(const Promise<QJsonValue>& promise) {
        EXPECT_TRUE(promise.isFulfilled()) << (promise.isRejected() ? promise.error()->code() : -1);
        return promise.isFulfilled() ? promise.value()->toObject() : QJsonObject();
    }

    // The service error code of a failed call; 0 when it did not fail.
    static qint64 errorCodeOf(const Promise<QJsonValue>& promise) {
        if (!promise.isRejected()) return 0;
        EXPECT_EQ(promise.error()->domain(), TovrinServiceErrorDomain);
        return promise.error()->code();
    }

    // Signs in through "/v3/sessions"; later signed-in calls are the member's.
    SignedInMember signIn(const QString& email, const QString& password = QStringLiteral("sandbox")) {
        const QJsonObject body{{"email", email}, {"password", password}};
        const QJsonObject answer =
            answerOf(send(TovrinAPIRequest::POSTRequestWithPath("/v3/sessions", std::nullopt, body)));
        SignedInMember member{answer.value("profileId").toVariant().toString(),
                              answer.value("sessionId").toString(), answer.value("xmppToken").toString()};
        authorizingService->sessionToken = member.sessionToken;
        return member;
    }

    SignedInMember signInAsDemoMember() { return signIn(QStringLiteral("demo@tovrin.test")); }

    // A raw request on the admin interface: its status and JSON answer.
    std::pair<int, QJsonObject> admin(const QByteArray& method, const QString& path,
                                      const QJsonObject& body = {}) {
        net::URLRequest request(sandbox->adminURL().resolved(QUrl(path)));
        request.setHTTPMethod(QString::fromLatin1(method));
        if (method != "GET") {
            request.setHTTPBody(QJsonDocument(body).toJson(QJsonDocument::Compact));
            request.setValue("application/json", "Content-Type");
        }
        return raw(request);
    }

    // A raw request: its status and JSON answer (empty when the body is no JSON object).
    std::pair<int, QJsonObject> raw(const net::URLRequest& request) {
        Promise<net::DataTaskResponse> response = rawSession->dataTaskPromise(request);
        EXPECT_TRUE(waitFor(response, sandboxPatience));
        if (!response.isFulfilled()) return {0, {}};
        return {response.value()->response.statusCode(),
                QJsonDocument::fromJson(response.value()->data).object()};
    }

    std::shared_ptr<sandbox::Sandbox> sandbox;
    WebClient web;
    std::shared_ptr<TovrinService> service = web.makeService();
    std::shared_ptr<AuthorizingTovrinService> authorizingService = std::make_shared<AuthorizingTovrinService>(
        std::make_shared<net::URLSession>(patientSessionConfiguration(), web.reachability),
        web.notificationCenter, std::make_shared<ErrorMessageParser>(), web.headerFurnisher, web.listeners,
        web.listeners, web.listeners, std::make_shared<OperationQueue>(), OperationQueue::main());
    std::shared_ptr<net::URLSession> rawSession =
        std::make_shared<net::URLSession>(patientSessionConfiguration(), web.reachability);
    std::shared_ptr<Bundle> bundle;
    std::shared_ptr<TovrinEndpoint> endpoint;
    std::shared_ptr<SignedInEndpoint> signedInEndpoint;
};

}  // namespace tovrin::test
