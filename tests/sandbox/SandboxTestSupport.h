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
#include "sandbox/SandboxTestWorld.h"
#include "support/TestSupport.h"

namespace tovrin::test {

// A sandbox in the test's own process and the client over it (`SandboxTestWorld`, launched signed
// out): calls through the client's endpoints, signed-in ones as the member signed in last; admin
// and raw calls on a plain web session.
class SandboxTest : public testing::Test {
protected:
    virtual sandbox::SandboxOptions options() const { return sandbox::SandboxOptions::forTests(); }

    void SetUp() override {
        sandbox = std::make_shared<sandbox::Sandbox>(options());
        const Promise<void> started = sandbox->start();
        ASSERT_TRUE(waitFor(started, sandboxPatience));
        ASSERT_TRUE(started.isFulfilled()) << started.error()->description().toStdString();
        bundle = std::make_shared<Bundle>(QVariantMap{{"TovrinHostURL", sandbox->webURL().toString()}});
        world = std::make_unique<SandboxTestWorld>(*sandbox);
        launch();
    }

    // Signed out unless a fixture starts otherwise.
    virtual void launch() { world->launch(); }

    // The client goes first: its last requests are answered before the sandbox stops.
    void TearDown() override {
        world.reset();
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
        return settled(world->send(std::move(request)));
    }

    // A call as the member signed in last.
    Promise<QJsonValue> sendSignedIn(std::shared_ptr<const TovrinRequest> request) {
        return settled(world->sendSignedIn(std::move(request)));
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

    // Signs in through the client's sign-in; later signed-in calls are the member's.
    SignedInMember signIn(const QString& email,
                          const QString& password = sandbox::WorldSeed::memberPassword) {
        const Promise<SessionInfo> signedIn = world->signIn(email, password);
        EXPECT_TRUE(waitFor(signedIn, sandboxPatience));
        EXPECT_TRUE(signedIn.isFulfilled()) << (signedIn.isRejected() ? signedIn.error()->code() : -1);
        if (!signedIn.isFulfilled()) return {};
        return {signedIn.value()->profileID(), signedIn.value()->credentials().sessionToken(),
                signedIn.value()->credentials().xmppToken()};
    }

    SignedInMember signInAsDemoMember() { return signIn(sandbox::WorldSeed::demoEmail); }

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
    std::unique_ptr<SandboxTestWorld> world;
    // A plain web client for calls the tests make around the client.
    WebClient web;
    std::shared_ptr<TovrinService> service = web.makeService(sandboxPatience / 1000.0);
    std::shared_ptr<net::URLSession> rawSession =
        std::make_shared<net::URLSession>(patientSessionConfiguration(), web.reachability);
    std::shared_ptr<Bundle> bundle;
};

}  // namespace tovrin::test
