#include "API/AuthenticatedTovrinEndpoint.h"

#include <gtest/gtest.h>

#include "API/AuthenticatedBootstrapManager.h"
#include "API/AuthenticatedURLService.h"
#include "API/TovrinAPIRequest.h"
#include "API/TovrinServiceError.h"
#include "API/TovrinUploadRequest.h"
#include "Authentication/SessionTestWorld.h"

namespace tovrin {
namespace {

using test::RecordedRequest;
using test::ScriptedResponse;
using test::SessionTestWorld;

Promise<QJsonValue> send(SessionTestWorld& world, std::shared_ptr<const TovrinRequest> request) {
    return world.injector.get<AuthenticatedTovrinEndpoint>()->JSONWithRequest(std::move(request));
}

std::shared_ptr<TovrinAPIRequest> getRequest(const QString& path) {
    return TovrinAPIRequest::GETRequestWithPath(path, std::nullopt);
}

class AuthenticatedTovrinEndpointTest : public testing::Test {
protected:
    SessionTestWorld world;
};

TEST_F(AuthenticatedTovrinEndpointTest, ConcurrentRequestsWaitForOneBootstrapCallAndAreThenSentAuthorized) {
    world.launchSignedIn("7", "token-0");

    const auto first = send(world, getRequest("/v3/first"));
    const auto second = send(world, getRequest("/v3/second"));
    ASSERT_TRUE(test::waitFor(first));
    ASSERT_TRUE(test::waitFor(second));

    EXPECT_TRUE(first.isFulfilled());
    EXPECT_TRUE(second.isFulfilled());
    const auto bootstrap = world.requestsTo("GET /v3/bootstrap");
    ASSERT_EQ(bootstrap.size(), 1);
    EXPECT_EQ(bootstrap[0].header("Authorization"), "Tovrin3 token-0");
    EXPECT_FALSE(bootstrap[0].hasQuery);
    EXPECT_EQ(world.requestsTo("GET /v3/first")[0].header("Authorization"), "Tovrin3 token-0");
    EXPECT_EQ(world.requestsTo("GET /v3/second")[0].header("Authorization"), "Tovrin3 token-0");
    EXPECT_EQ(SessionTestWorld::nameOf(world.requests()[0]), "GET /v3/bootstrap");
}

TEST(AuthenticatedTovrinEndpoint, AFailedBootstrapFailsItsWaitersAndTheNextRequestRepeatsIt) {
    struct Case {
        const char* name;
        ScriptedResponse failure;
        net::NetworkStatus network;
        qint64 code;
    };
    const Case cases[] = {
        {"server error", ScriptedResponse::empty(500), net::NetworkStatus::ReachableViaWiFi,
         TovrinServiceErrorServerError},
        {"no connection", ScriptedResponse::drop(), net::NetworkStatus::NotReachable,
         TovrinServiceErrorNoInternetConnection},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        SessionTestWorld local;
        local.launchSignedIn();
        local.route("GET /v3/bootstrap", testCase.failure);
        local.reachability->setStatus(testCase.network);

        const auto first = send(local, getRequest("/v3/first"));
        const auto second = send(local, getRequest("/v3/second"));
        ASSERT_TRUE(test::waitFor(first));
        ASSERT_TRUE(test::waitFor(second));
        EXPECT_EQ(*first.error(), tovrinServiceError(testCase.code));
        EXPECT_EQ(*second.error(), tovrinServiceError(testCase.code));
        const qsizetype attempts = local.requests().size();
        EXPECT_TRUE(local.requestsTo("GET /v3/first").isEmpty());
        EXPECT_TRUE(local.requestsTo("GET /v3/second").isEmpty());

        local.route("GET /v3/bootstrap", ScriptedResponse::json(200, local.bootstrapAnswer()));
        local.reachability->setStatus(net::NetworkStatus::ReachableViaWiFi);
        const auto third = send(local, getRequest("/v3/third"));
        ASSERT_TRUE(test::waitFor(third));
        EXPECT_TRUE(third.isFulfilled());
        EXPECT_EQ(local.requestsTo("GET /v3/bootstrap").size(), attempts + 1);
        EXPECT_EQ(local.requestsTo("GET /v3/third").size(), 1);
    }
}

TEST_F(AuthenticatedTovrinEndpointTest, UploadsGoToTheUploadHostOfTheBootstrapAnswer) {
    world.launchSignedIn();
    const auto photo = TovrinUploadRequest::POSTRequestWithPath("/v3/me/pics", std::nullopt,
                                                                QByteArray("\xff\xd8jpeg"), "image/jpeg");
    const auto chatPhoto = TovrinUploadRequest::POSTRequestWithPath("/v3/me/prefs/chat-pix/abc", std::nullopt,
                                                                    std::nullopt, "application/json");

    ASSERT_TRUE(test::waitFor(send(world, photo)));
    ASSERT_TRUE(test::waitFor(send(world, chatPhoto)));

    const auto pictures = world.requestsTo("POST /v3/me/pics");
    ASSERT_EQ(pictures.size(), 1);
    EXPECT_EQ(pictures[0].header("Content-Type"), "image/jpeg");
    EXPECT_EQ(pictures[0].body, QByteArray("\xff\xd8jpeg"));
    const auto registered = world.requestsTo("POST /v3/me/prefs/chat-pix/abc");
    ASSERT_EQ(registered.size(), 1);
    EXPECT_EQ(registered[0].header("Content-Type"), "application/json");
    EXPECT_TRUE(registered[0].body.isEmpty());
}

TEST_F(AuthenticatedTovrinEndpointTest, OnAHostWithAPathTheBootstrapExtendsItAndRequestsReplaceIt) {
    world.setHostURL(world.server.url().toString() + "/base");
    world.route("GET /base/v3/bootstrap", ScriptedResponse::json(200, world.bootstrapAnswer()));
    world.launchSignedIn();

    const auto promise = send(world, getRequest("/v3/me/prefs"));
    ASSERT_TRUE(test::waitFor(promise));

    EXPECT_TRUE(promise.isFulfilled());
    EXPECT_EQ(world.requestsTo("GET /base/v3/bootstrap").size(), 1);
    EXPECT_EQ(world.requestsTo("GET /v3/me/prefs").size(), 1);
}

TEST_F(AuthenticatedTovrinEndpointTest, AddressesComeFromTheFirstEntryOfEachList) {
    world.launchSignedIn();
    auto urls = world.injector.get<AuthenticatedURLService>();

    const auto api = urls->URLForAPI();
    const auto media = urls->URLForMedia();
    const auto upload = urls->URLForUpload();
    const auto chat = urls->chatServerInfo();
    ASSERT_TRUE(test::waitFor(chat));

    EXPECT_EQ(api.value(), world.server.url());
    EXPECT_EQ(media.value()->toString(), "https://media.tovrin.example:443");
    EXPECT_EQ(upload.value(), world.server.url());
    EXPECT_EQ(chat.value()->protocol(), "xmpp");
    EXPECT_EQ(chat.value()->host(), "chat.tovrin.example");
    EXPECT_EQ(chat.value()->port(), 5222u);
    EXPECT_EQ(chat.value()->domain(), "tovrin.example");
    EXPECT_EQ(world.requestsTo("GET /v3/bootstrap").size(), 1);
}

TEST_F(AuthenticatedTovrinEndpointTest, AFulfilledAnswerIsReusedUntilInvalidated) {
    world.launchSignedIn();
    auto manager = world.injector.get<AuthenticatedBootstrapManager>();

    const auto first = manager->retrieveFullBootstrapInfo();
    ASSERT_TRUE(test::waitFor(first));
    ASSERT_TRUE(test::waitFor(manager->retrieveFullBootstrapInfo()));
    EXPECT_EQ(world.requestsTo("GET /v3/bootstrap").size(), 1);

    manager->invalidateCurrentBootstrapPromise();
    ASSERT_TRUE(test::waitFor(manager->retrieveFullBootstrapInfo()));
    EXPECT_EQ(world.requestsTo("GET /v3/bootstrap").size(), 2);
}

TEST_F(AuthenticatedTovrinEndpointTest,
       InvalidatingARunningCallLetsItsHoldersFinishAndTheNextCallSendsAgain) {
    world.launchSignedIn();
    world.route("GET /v3/bootstrap",
                ScriptedResponse::held(ScriptedResponse::json(200, world.bootstrapAnswer())));
    auto manager = world.injector.get<AuthenticatedBootstrapManager>();

    const auto running = manager->retrieveFullBootstrapInfo();
    ASSERT_TRUE(world.waitForRequests(1));
    manager->invalidateCurrentBootstrapPromise();
    const auto next = manager->retrieveFullBootstrapInfo();
    ASSERT_TRUE(world.waitForRequests(2));
    world.server.releaseHeldResponses();

    ASSERT_TRUE(test::waitFor(running));
    ASSERT_TRUE(test::waitFor(next));
    EXPECT_TRUE(running.isFulfilled());
    EXPECT_TRUE(next.isFulfilled());
    EXPECT_EQ(world.requestsTo("GET /v3/bootstrap").size(), 2);
}

TEST_F(AuthenticatedTovrinEndpointTest, WhileSignedOutNothingIsSent) {
    world.launch();

    const auto promise = send(world, getRequest("/v3/me"));
    ASSERT_TRUE(test::waitFor(promise));

    EXPECT_EQ(*promise.error(), tovrinServiceError(TovrinServiceErrorSessionRenewalFailed));
    EXPECT_TRUE(world.requests().isEmpty());
}

// A request of one member still waiting for the bootstrap answer when another member signs in.
TEST_F(AuthenticatedTovrinEndpointTest, ARequestWaitingForTheBootstrapIsNeverSentForTheNextMember) {
    auto session = world.launchSignedIn("7", "token-ann");
    // Held for Ann only: Bob's session start asks again.
    world.route("GET /v3/bootstrap",
                std::vector{ScriptedResponse::held(ScriptedResponse::json(200, world.bootstrapAnswer())),
                            ScriptedResponse::json(200, world.bootstrapAnswer())});
    const auto waiting = send(world, getRequest("/v3/me/profile"));
    ASSERT_TRUE(test::runUntil([&] { return world.server.heldResponseCount() == 1; }));

    session->logout();
    world.injector.get<AuthStorage>()->storeLoginCredentials(LoginCredentials("bob@example.com", "pw"));
    session->startSessionWithProfileID("8", SessionCredentials("token-bob", "xmpp-bob"));
    world.server.releaseHeldResponses();
    ASSERT_TRUE(test::waitFor(waiting));

    EXPECT_EQ(*waiting.error(), tovrinServiceError(TovrinServiceErrorSessionRenewalFailed));
    EXPECT_TRUE(world.requestsTo("GET /v3/me/profile").isEmpty());
}

class UnknownSignedInRequest : public TovrinAPIRequest {
public:
    UnknownSignedInRequest() : TovrinAPIRequest("GET", "/", std::nullopt, std::nullopt) {}
    TovrinRequestType serviceType() const override { return 7; }
};

TEST(AuthenticatedTovrinEndpointDeathTest, ARequestOfAnotherServiceTypeStopsTheProcess) {
    auto endpoint =
        std::make_shared<AuthenticatedTovrinEndpoint>(nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_DEATH(endpoint->JSONWithRequest(std::make_shared<UnknownSignedInRequest>()),
                 "Unhandled TovrinRequestType");
}

}  // namespace
}  // namespace tovrin
