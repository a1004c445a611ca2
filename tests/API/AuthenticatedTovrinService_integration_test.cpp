#include "API/AuthenticatedTovrinService.h"

#include <gtest/gtest.h>

#include "API/RequestAuthenticator.h"
#include "API/SessionTokenSource.h"
#include "API/TovrinServiceError.h"
#include "API/WebClientTestSupport.h"
#include "Authentication/SessionGeneration.h"
#include "Authentication/SessionTestWorld.h"

namespace tovrin {
namespace {

using test::RecordedRequest;
using test::ScriptedResponse;
using test::SessionTestWorld;

// A request of a signed-in member through the container's signed-in client, straight to the
// loopback server; the renewal goes to the configured host.
Promise<QJsonValue> send(SessionTestWorld& world, const QString& path) {
    auto service = world.injector.get<AuthenticatedTovrinService>();
    const net::URLRequest request = service->constructRequestWithHTTPMethod(
        "GET", world.server.url(path), std::nullopt, QByteArray(R"({"a":1})"), jsonContentTypeHeaderValue);
    return service->JSONWithURLRequest(request);
}

Promise<QJsonValue> sendAndWait(SessionTestWorld& world, const QString& path) {
    auto promise = send(world, path);
    EXPECT_TRUE(test::waitFor(promise));
    return promise;
}

std::optional<QByteArray> authorization(const RecordedRequest& request) {
    return request.header("Authorization");
}

class AuthenticatedTovrinServiceTest : public testing::Test {
protected:
    Promise<QJsonValue> send(const QString& path) { return tovrin::send(world, path); }
    Promise<QJsonValue> sendAndWait(const QString& path) { return tovrin::sendAndWait(world, path); }

    SessionTestWorld world;
};

TEST_F(AuthenticatedTovrinServiceTest, ARequestCarriesTheSessionTokenAndPostsNoActivity) {
    world.launchSignedIn("7", "token-0");
    int activity = 0;
    auto begin = world.injector.get<NotificationCenter>()->addObserver(
        HTTPActivityDidBeginNotification, nullptr, [&](const Notification&) { ++activity; });
    auto end = world.injector.get<NotificationCenter>()->addObserver(
        HTTPActivityDidEndNotification, nullptr, [&](const Notification&) { ++activity; });

    ASSERT_TRUE(sendAndWait("/v3/me").isFulfilled());

    ASSERT_EQ(world.requestsTo("GET /v3/me").size(), 1);
    EXPECT_EQ(authorization(world.requestsTo("GET /v3/me")[0]), "Tovrin3 token-0");
    EXPECT_TRUE(world.requestsTo("POST /v3/sessions").isEmpty());
    world.settle();
    EXPECT_EQ(activity, 0);
}

TEST_F(AuthenticatedTovrinServiceTest, ARememberedMembersFirstRequestRenewsFirst) {
    world.remember("ann@example.com", "secret", "7");
    auto session = world.launch();
    world.route("POST /v3/sessions", SessionTestWorld::sessionResponse(7, "token-1"));

    const auto promise = sendAndWait("/v3/me");

    ASSERT_TRUE(promise.isFulfilled());
    const auto renewals = world.requestsTo("POST /v3/sessions");
    ASSERT_EQ(renewals.size(), 1);
    EXPECT_EQ(renewals[0].body, R"({"email":"ann@example.com","password":"secret"})");
    EXPECT_FALSE(authorization(renewals[0]).has_value());
    const auto sent = world.requestsTo("GET /v3/me");
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(authorization(sent[0]), "Tovrin3 token-1");
    EXPECT_EQ(session->credentials(), SessionCredentials("token-1", "xmpp-1"));
}

TEST_F(AuthenticatedTovrinServiceTest, A401RenewsOnceAndResendsTheSameRequestWithTheNewAuthorization) {
    world.launchSignedIn("7", "token-0");
    world.route("GET /v3/me",
                std::vector{ScriptedResponse::empty(401), ScriptedResponse::json(200, R"({"ok":1})")});
    world.route("POST /v3/sessions", SessionTestWorld::sessionResponse("7", "token-1"));

    const auto promise = sendAndWait("/v3/me");

    ASSERT_TRUE(promise.isFulfilled());
    EXPECT_EQ(promise.value()->toObject().value("ok"), 1);
    EXPECT_EQ(world.requestsTo("POST /v3/sessions").size(), 1);
    const auto sent = world.requestsTo("GET /v3/me");
    ASSERT_EQ(sent.size(), 2);
    EXPECT_EQ(authorization(sent[0]), "Tovrin3 token-0");
    EXPECT_EQ(authorization(sent[1]), "Tovrin3 token-1");
    EXPECT_EQ(sent[1].body, sent[0].body);
    EXPECT_EQ(sent[1].header("Content-Type"), sent[0].header("Content-Type"));
    EXPECT_EQ(sent[1].header("User-Agent"), sent[0].header("User-Agent"));
}

TEST_F(AuthenticatedTovrinServiceTest, ARequestRefusedAgainAfterItsRenewalFailsWith10) {
    world.launchSignedIn();
    world.route("GET /v3/me", ScriptedResponse::empty(401));
    world.route("POST /v3/sessions", SessionTestWorld::sessionResponse("7", "token-1"));

    const auto promise = sendAndWait("/v3/me");

    ASSERT_TRUE(promise.isRejected());
    EXPECT_EQ(*promise.error(), tovrinServiceError(TovrinServiceErrorSessionRenewalFailed));
    EXPECT_EQ(world.requestsTo("POST /v3/sessions").size(), 1);
    EXPECT_EQ(world.requestsTo("GET /v3/me").size(), 2);
}

TEST_F(AuthenticatedTovrinServiceTest, ACancelledAuthenticationRenewsAndResends) {
    world.launchSignedIn("7", "token-0");
    world.route("POST /v3/sessions", SessionTestWorld::sessionResponse("7", "token-1"));
    world.urlSession->failBeforeSending = [](const net::URLRequest& request) -> std::optional<Error> {
        if (request.valueForHTTPHeaderField("Authorization") != "Tovrin3 token-0") return std::nullopt;
        return net::makeURLError(net::URLErrorUserCancelledAuthentication);
    };

    const auto promise = sendAndWait("/v3/me");

    ASSERT_TRUE(promise.isFulfilled());
    EXPECT_EQ(world.requestsTo("POST /v3/sessions").size(), 1);
    ASSERT_EQ(world.requestsTo("GET /v3/me").size(), 1);
    EXPECT_EQ(authorization(world.requestsTo("GET /v3/me")[0]), "Tovrin3 token-1");
}

TEST_F(AuthenticatedTovrinServiceTest, A403IsNotRenewed) {
    world.launchSignedIn();
    world.route("GET /v3/me", SessionTestWorld::errorResponse(403, 27));

    const auto promise = sendAndWait("/v3/me");

    EXPECT_EQ(*promise.error(), tovrinServiceError(TovrinServiceErrorUserBanned));
    EXPECT_TRUE(world.requestsTo("POST /v3/sessions").isEmpty());
}

TEST_F(AuthenticatedTovrinServiceTest, RequestsWaitingForOneRenewalShareItAndAreResentInOrder) {
    world.remember("ann@example.com", "secret", "7");
    // The session's load of the favourites at launch waits for the same renewal; the chat client
    // may renew again later, answered at once.
    world.route("POST /v3/sessions",
                std::vector{ScriptedResponse::held(SessionTestWorld::sessionResponse("7", "token-1")),
                            SessionTestWorld::sessionResponse("7", "token-1")});
    world.launch();
    // What the client sends, in its order: parallel connections may reach the server in another.
    // Held by the session past the test's end.
    const auto sent = std::make_shared<QStringList>();
    world.urlSession->failBeforeSending = [sent](const net::URLRequest& request) -> std::optional<Error> {
        *sent << request.URL().path();
        return std::nullopt;
    };

    const auto first = send("/v3/first");
    const auto second = send("/v3/second");
    ASSERT_TRUE(world.waitForRequests(1));
    EXPECT_LE(sent->count("/v3/sessions"), 1);  // both joined the launch's renewal
    world.server.releaseHeldResponses();

    ASSERT_TRUE(test::waitFor(first));
    ASSERT_TRUE(test::waitFor(second));
    EXPECT_TRUE(first.isFulfilled());
    EXPECT_TRUE(second.isFulfilled());
    QStringList order;
    for (const QString& path : *sent) {
        if (path == "/v3/first" || path == "/v3/second") order << path;
    }
    EXPECT_EQ(order, QStringList({"/v3/first", "/v3/second"}));
}

TEST_F(AuthenticatedTovrinServiceTest, TwoRequestsMeeting401DuringOneRenewalMakeOneRenewalCall) {
    world.launchSignedIn("7", "token-0");
    for (const char* path : {"GET /v3/first", "GET /v3/second"}) {
        world.route(path, [](const RecordedRequest& request) {
            return request.header("Authorization") == "Tovrin3 token-1" ? ScriptedResponse::json(200, "{}")
                                                                        : ScriptedResponse::empty(401);
        });
    }
    world.route("POST /v3/sessions",
                ScriptedResponse::held(SessionTestWorld::sessionResponse("7", "token-1")));

    const auto first = send("/v3/first");
    const auto second = send("/v3/second");
    // Both refusals have reached the client before the renewal answers.
    ASSERT_TRUE(test::runUntil(
        [&] { return world.server.heldResponseCount() == 1 && world.urlSession->tasksInFlight() == 1; }));
    test::drainMainQueue();
    world.server.releaseHeldResponses();

    ASSERT_TRUE(test::waitFor(first));
    ASSERT_TRUE(test::waitFor(second));
    EXPECT_TRUE(first.isFulfilled());
    EXPECT_TRUE(second.isFulfilled());
    EXPECT_EQ(world.requestsTo("POST /v3/sessions").size(), 1);
    EXPECT_EQ(authorization(world.requestsTo("GET /v3/first").last()), "Tovrin3 token-1");
    EXPECT_EQ(authorization(world.requestsTo("GET /v3/second").last()), "Tovrin3 token-1");
}

// Ann's request is refused after she signed out and Bob signed in: it is neither renewed nor resent.
TEST_F(AuthenticatedTovrinServiceTest, ARequestRefusedAfterAnotherMemberSignedInFailsWithoutRenewal) {
    auto session = world.launchSignedIn("7", "token-ann");
    world.route("GET /v3/me", ScriptedResponse::held(ScriptedResponse::empty(401)));
    world.route("POST /v3/sessions", SessionTestWorld::sessionResponse("8", "token-bob-2"));
    const auto promise = send("/v3/me");
    ASSERT_TRUE(test::runUntil([&] { return world.server.heldResponseCount() == 1; }));

    session->logout();
    world.injector.get<AuthStorage>()->storeLoginCredentials(LoginCredentials("bob@example.com", "pw"));
    session->startSessionWithProfileID("8", SessionCredentials("token-bob", "xmpp-bob"));
    world.server.releaseHeldResponses();
    ASSERT_TRUE(test::waitFor(promise));

    EXPECT_EQ(*promise.error(), tovrinServiceError(TovrinServiceErrorSessionRenewalFailed));
    EXPECT_TRUE(world.requestsTo("POST /v3/sessions").isEmpty());
    EXPECT_EQ(world.requestsTo("GET /v3/me").size(), 1);
    EXPECT_EQ(session->credentials(), SessionCredentials("token-bob", "xmpp-bob"));
}

TEST(AuthenticatedTovrinService, AFailedRenewalPassesOn6And16AndMakesEverythingElse10) {
    struct Case {
        const char* name;
        ScriptedResponse renewal;
        bool connected;
        qint64 expected;
        bool signedOut;
        const char* listenerCall;
    };
    const Case cases[] = {
        {"banned", SessionTestWorld::errorResponse(403, 27), true, TovrinServiceErrorUserBanned, false,
         "userIsBanned"},
        {"no connection", ScriptedResponse::drop(), false, TovrinServiceErrorNoInternetConnection, false, ""},
        {"credentials refused", SessionTestWorld::errorResponse(401, 4), true,
         TovrinServiceErrorSessionRenewalFailed, true, ""},
        {"client deprecated", SessionTestWorld::errorResponse(400, 8), true,
         TovrinServiceErrorSessionRenewalFailed, false, "clientIsDeprecated"},
        {"server error", ScriptedResponse::empty(503), true, TovrinServiceErrorSessionRenewalFailed, false,
         ""},
        {"generic", SessionTestWorld::errorResponse(400, 99), true, TovrinServiceErrorSessionRenewalFailed,
         false, ""},
        {"unreadable answer", ScriptedResponse::json(200, R"({"profileId":7})"), true,
         TovrinServiceErrorSessionRenewalFailed, false, ""},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        SessionTestWorld local;
        auto session = local.launchSignedIn("7", "token-0");
        int logouts = 0;
        auto observer = local.notificationCenter->addObserver(UserDidLogoutNotification, nullptr,
                                                              [&](const Notification&) { ++logouts; });
        local.route("GET /v3/me", ScriptedResponse::empty(401));
        local.route("POST /v3/sessions", testCase.renewal);
        local.reachability->setStatus(testCase.connected ? net::NetworkStatus::ReachableViaWiFi
                                                         : net::NetworkStatus::NotReachable);

        const auto promise = sendAndWait(local, "/v3/me");

        EXPECT_EQ(*promise.error(), tovrinServiceError(testCase.expected));
        EXPECT_EQ(local.requestsTo("GET /v3/me").size(), 1);
        EXPECT_EQ(session->isSessionActive(), !testCase.signedOut);
        EXPECT_EQ(logouts, testCase.signedOut ? 1 : 0);
        const QString call = testCase.listenerCall;
        EXPECT_EQ(local.listeners->calls.size(), call.isEmpty() ? 0u : 1u);
        if (!call.isEmpty() && !local.listeners->calls.empty()) {
            EXPECT_EQ(local.listeners->calls[0].name, call);
        }
    }
}

class FixedTokenSource : public SessionTokenSource {
public:
    std::optional<QString> sessionToken() const override { return QStringLiteral("token-fixed"); }
};

// No container and no shared session: the client's own generation, which the test advances while
// the answer is on its way. No renewal may start, so the client has no session service.
TEST(AuthenticatedTovrinService, ARefusalArrivingAfterItsGenerationEndedFailsWith10WithoutRenewal) {
    test::LoopbackHTTPServer server;
    server.enqueue(ScriptedResponse::held(ScriptedResponse::empty(401)));
    const test::WebClient client;
    auto generation = std::make_shared<SessionGeneration>();
    auto tokens = std::make_shared<FixedTokenSource>();
    auto service = std::make_shared<AuthenticatedTovrinService>(
        std::make_shared<net::URLSession>(net::URLSessionConfiguration(), client.reachability),
        client.notificationCenter, std::make_shared<ErrorMessageParser>(), client.headerFurnisher,
        client.listeners, client.listeners, client.listeners,
        std::make_shared<RequestAuthenticator>([tokens] { return tokens; }), nullptr, nullptr, generation,
        std::make_shared<OperationQueue>(), OperationQueue::main());

    const auto promise = service->JSONWithURLRequest(service->constructRequestWithHTTPMethod(
        "GET", server.url("/v3/me"), std::nullopt, QByteArray(), jsonContentTypeHeaderValue));
    ASSERT_TRUE(test::runUntil([&] { return server.heldResponseCount() == 1; }));
    generation->advance();
    server.releaseHeldResponses();
    ASSERT_TRUE(test::waitFor(promise));

    EXPECT_EQ(*promise.error(), tovrinServiceError(TovrinServiceErrorSessionRenewalFailed));
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(authorization(server.requests()[0]), "Tovrin3 token-fixed");
}

TEST_F(AuthenticatedTovrinServiceTest, WithoutStoredCredentialsA401SignsTheMemberOutWithoutARequest) {
    auto session = world.launchSignedIn();
    world.injector.get<AuthStorage>()->removeStoredLoginCredentials();
    world.route("GET /v3/me", ScriptedResponse::empty(401));

    const auto promise = sendAndWait("/v3/me");

    EXPECT_EQ(*promise.error(), tovrinServiceError(TovrinServiceErrorSessionRenewalFailed));
    EXPECT_TRUE(world.requestsTo("POST /v3/sessions").isEmpty());
    EXPECT_FALSE(session->profileID().has_value());
}

// The configured host presents a certificate for another name: only the renewal meets it.
TEST(AuthenticatedTovrinService, ARenewalMeetingAnUntrustedCertificatePassesOn15) {
    test::LoopbackHTTPServer configuredHost(test::LoopbackHTTPServer::Certificate::OtherHost);
    SessionTestWorld world(configuredHost.url().toString());
    world.launchSignedIn();
    // The launch's fetch of the option lists met the certificate first.
    world.listeners->calls.clear();
    world.route("GET /v3/me", ScriptedResponse::empty(401));

    const auto promise = sendAndWait(world, "/v3/me");

    EXPECT_EQ(*promise.error(), tovrinServiceError(TovrinServiceErrorCertificateMismatch));
    ASSERT_EQ(world.listeners->calls.size(), 1u);
    EXPECT_EQ(world.listeners->calls[0].name, "certificateMismatched");
}

}  // namespace
}  // namespace tovrin
