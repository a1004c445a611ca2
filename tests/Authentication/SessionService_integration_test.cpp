#include "Authentication/SessionService.h"

#include <gtest/gtest.h>

#include <QJsonDocument>

#include "API/TovrinServiceError.h"
#include "Authentication/CreateAccountService.h"
#include "Authentication/SessionTestWorld.h"
#include "Keychain/MFKeychain.h"
#include "Throttling/TovrinWebAPIThrottler.h"

namespace tovrin {
namespace {

using test::RecordedRequest;
using test::ScriptedResponse;
using test::SessionTestWorld;

class SessionServiceTest : public testing::Test {
protected:
    void SetUp() override { session = world.launch(); }

    std::shared_ptr<SessionService> sessionService() { return world.injector.get<SessionService>(); }
    std::optional<LoginCredentials> storedCredentials() {
        return AuthStorage(world.injector.get<MFKeychain>()).loginCredentials();
    }
    // The credentials in the keychain when the request reached the server.
    void recordKeychainAtArrival(const QString& methodAndPath, ScriptedResponse response) {
        world.route(methodAndPath, [this, response](const RecordedRequest&) {
            credentialsAtArrival = storedCredentials();
            return response;
        });
    }

    SessionTestWorld world;
    std::shared_ptr<UserSession> session;
    std::optional<LoginCredentials> credentialsAtArrival;
};

TEST(SessionService, SignInStoresTheTypedCredentialsBeforeSendingWhateverTheOutcome) {
    struct Case {
        const char* name;
        ScriptedResponse answer;
        std::optional<qint64> failure;
    };
    const Case cases[] = {
        {"accepted", SessionTestWorld::sessionResponse("7", "token-1"), std::nullopt},
        {"wrong password", SessionTestWorld::errorResponse(401, 4), TovrinServiceErrorInvalidCredentials},
        {"server error", ScriptedResponse::empty(500), TovrinServiceErrorServerError},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        SessionTestWorld local;
        auto localSession = local.launch();
        std::optional<LoginCredentials> atArrival;
        local.route("POST /v3/sessions", [&](const RecordedRequest&) {
            atArrival = AuthStorage(local.injector.get<MFKeychain>()).loginCredentials();
            return testCase.answer;
        });

        const auto promise =
            local.injector.get<SessionService>()->loginWithEmail("ann@example.com", "secret");
        ASSERT_TRUE(test::waitFor(promise));

        const LoginCredentials typed("ann@example.com", "secret");
        EXPECT_EQ(atArrival, typed);
        EXPECT_EQ(AuthStorage(local.injector.get<MFKeychain>()).loginCredentials(), typed);
        const auto sent = local.requestsTo("POST /v3/sessions");
        ASSERT_EQ(sent.size(), 1);
        EXPECT_EQ(sent[0].body, R"({"email":"ann@example.com","password":"secret"})");
        EXPECT_FALSE(sent[0].header("Authorization").has_value());
        if (testCase.failure) {
            EXPECT_EQ(*promise.error(), tovrinServiceError(*testCase.failure));
            EXPECT_FALSE(localSession->isSessionActive());
        } else {
            EXPECT_EQ(promise.value()->profileID(), "7");
            EXPECT_TRUE(localSession->isSessionActive());
            EXPECT_EQ(localSession->profileID(), "7");
            EXPECT_EQ(localSession->credentials(), SessionCredentials("token-1", "xmpp-1"));
        }
    }
}

TEST_F(SessionServiceTest, SignInWithoutAnEmailOrPasswordStoresThemAndFailsWith2WithoutARequest) {
    const auto promise = sessionService()->loginWithEmail("ann@example.com", std::nullopt);
    ASSERT_TRUE(test::waitFor(promise));

    EXPECT_EQ(*promise.error(), tovrinServiceError(TovrinServiceErrorInvalidCredentials));
    EXPECT_EQ(storedCredentials(), LoginCredentials("ann@example.com", std::nullopt));
    EXPECT_TRUE(world.server.requests().isEmpty());
}

TEST_F(SessionServiceTest, SignInRefusedByTheThrottlerStoresAndSendsNothing) {
    auto throttler = world.injector.get<TovrinWebAPIThrottler>();
    for (int failure = 0; failure < 3; ++failure) throttler->actionDidFail(SessionService::LoginActionKey);

    const auto promise = sessionService()->loginWithEmail("ann@example.com", "secret");
    ASSERT_TRUE(test::waitFor(promise));

    EXPECT_EQ(*promise.error(), tovrinServiceError(TovrinServiceErrorThrottled));
    EXPECT_FALSE(storedCredentials().has_value());
    EXPECT_TRUE(world.server.requests().isEmpty());
}

TEST_F(SessionServiceTest, ServerErrorsOfSignInCountUnderLogin) {
    world.route("POST /v3/sessions", ScriptedResponse::empty(502));
    for (int attempt = 0; attempt < 3; ++attempt) {
        ASSERT_TRUE(test::waitFor(sessionService()->loginWithEmail("ann@example.com", "secret")));
    }
    auto throttler = world.injector.get<TovrinWebAPIThrottler>();
    EXPECT_TRUE(throttler->shouldThrottleAction(SessionService::LoginActionKey));
    EXPECT_FALSE(throttler->shouldThrottleAction(std::type_index(typeid(CreateAccountService))));
}

TEST_F(SessionServiceTest, RenewalsAskedForWhileOneRunsShareItsOneRequest) {
    world.remember("ann@example.com", "secret", "7");
    world.route("POST /v3/sessions",
                ScriptedResponse::held(SessionTestWorld::sessionResponse("7", "token-1")));

    std::vector<Promise<SessionInfo>> renewals;
    for (int caller = 0; caller < 3; ++caller) {
        renewals.push_back(sessionService()->renewSessionCredentialsWithEmail("ann@example.com", "secret"));
    }
    ASSERT_TRUE(world.server.waitForRequests(1));
    world.server.releaseHeldResponses();
    for (const auto& renewal : renewals) ASSERT_TRUE(test::waitFor(renewal));

    EXPECT_EQ(world.requestsTo("POST /v3/sessions").size(), 1);
    world.route("POST /v3/sessions", SessionTestWorld::sessionResponse("7", "token-2"));
    ASSERT_TRUE(
        test::waitFor(sessionService()->renewSessionCredentialsWithEmail("ann@example.com", "secret")));
    EXPECT_EQ(world.requestsTo("POST /v3/sessions").size(), 2);
    EXPECT_EQ(session->credentials(), SessionCredentials("token-2", "xmpp-1"));
}

TEST_F(SessionServiceTest, ACallerOfTheRenewalFindsTheSessionAlreadyUpdated) {
    world.remember("ann@example.com", "secret", "7");
    world.route("POST /v3/sessions", SessionTestWorld::sessionResponse("99", "token-1", "xmpp-1"));
    std::optional<SessionCredentials> seen;
    std::optional<QString> profileSeen;

    const auto renewal = sessionService()->renewSessionCredentialsWithEmail("ann@example.com", "secret");
    const auto done = renewal.then([&](const SessionInfo&) {
        seen = session->credentials();
        profileSeen = session->profileID();
    });
    ASSERT_TRUE(test::waitFor(done));

    EXPECT_EQ(seen, SessionCredentials("token-1", "xmpp-1"));
    EXPECT_EQ(profileSeen, "7");  // the response's profile id is not used
}

TEST_F(SessionServiceTest, ARenewalRefusedWith2SignsTheMemberOutBeforeItsCallersRun) {
    world.remember("ann@example.com", "old password", "7");
    world.route("POST /v3/sessions", SessionTestWorld::errorResponse(401, 4));
    std::optional<bool> activeSeen;

    const auto renewal =
        sessionService()->renewSessionCredentialsWithEmail("ann@example.com", "old password");
    const auto done = renewal.catchError([&](const Error&) { activeSeen = session->isSessionActive(); });
    ASSERT_TRUE(test::waitFor(done));

    EXPECT_EQ(*renewal.error(), tovrinServiceError(TovrinServiceErrorInvalidCredentials));
    EXPECT_EQ(activeSeen, false);
    EXPECT_FALSE(storedCredentials().has_value());
}

TEST_F(SessionServiceTest, ARenewalWithoutConnectionKeepsTheMemberAndCanBeRepeated) {
    world.remember("ann@example.com", "secret", "7");
    world.route("POST /v3/sessions", ScriptedResponse::drop());
    world.reachability->setStatus(net::NetworkStatus::NotReachable);

    const auto failed = sessionService()->renewSessionCredentialsWithEmail("ann@example.com", "secret");
    ASSERT_TRUE(test::waitFor(failed));
    EXPECT_EQ(*failed.error(), tovrinServiceError(TovrinServiceErrorNoInternetConnection));
    EXPECT_TRUE(session->isSessionActive());

    world.reachability->setStatus(net::NetworkStatus::ReachableViaWiFi);
    world.route("POST /v3/sessions", SessionTestWorld::sessionResponse("7", "token-1"));
    const auto repeated = sessionService()->renewSessionCredentialsWithEmail("ann@example.com", "secret");
    ASSERT_TRUE(test::waitFor(repeated));
    EXPECT_TRUE(repeated.isFulfilled());
}

// Ann's renewal is still running when she signs out and Bob signs in.
TEST(SessionService, ARenewalThatOutlivesItsSessionLeavesTheNextMemberAlone) {
    for (const bool accepted : {true, false}) {
        SCOPED_TRACE(accepted ? "accepted" : "refused");
        SessionTestWorld local;
        auto localSession = local.launchSignedIn("7", "token-ann");
        local.route("POST /v3/sessions",
                    ScriptedResponse::held(accepted ? SessionTestWorld::sessionResponse("7", "token-ann-2")
                                                    : SessionTestWorld::errorResponse(401, 4)));
        const auto renewal = local.injector.get<SessionService>()->renewSessionCredentialsWithEmail(
            "ann@example.com", "secret");
        ASSERT_TRUE(local.server.waitForRequests(1));

        localSession->logout();
        local.injector.get<AuthStorage>()->storeLoginCredentials(LoginCredentials("bob@example.com", "pw"));
        localSession->startSessionWithProfileID("8", SessionCredentials("token-bob", "xmpp-bob"));
        local.server.releaseHeldResponses();
        ASSERT_TRUE(test::waitFor(renewal));

        EXPECT_TRUE(renewal.isRejected());
        EXPECT_EQ(localSession->credentials(), SessionCredentials("token-bob", "xmpp-bob"));
        EXPECT_TRUE(localSession->isSessionActive());
        EXPECT_EQ(localSession->profileID(), "8");
    }
}

TEST_F(SessionServiceTest, SignUpSendsAnUnroundedBirthdayAndABooleanOptInAndStoresOnlyAfterSuccess) {
    recordKeychainAtArrival("POST /v3/users",
                            SessionTestWorld::sessionResponse(qint64(123456789012), "token-1"));
    const Date birthday(631152000.1234565);

    const auto promise = world.injector.get<CreateAccountService>()->createAccountWithEmail(
        "new@example.com", "secret", true, birthday);
    ASSERT_TRUE(test::waitFor(promise));

    ASSERT_TRUE(promise.isFulfilled());
    EXPECT_FALSE(credentialsAtArrival.has_value());
    const auto sent = world.requestsTo("POST /v3/users");
    ASSERT_EQ(sent.size(), 1);
    const QJsonObject body = QJsonDocument::fromJson(sent[0].body).object();
    EXPECT_EQ(body.value("email"), "new@example.com");
    EXPECT_EQ(body.value("password"), "secret");
    const double milliseconds = body.value("birthday").toDouble();
    EXPECT_EQ(milliseconds, CreateAccountService::millisecondsSince1970ForBirthDate(birthday));
    EXPECT_NEAR(milliseconds, 631152000123.4565, 0.001);
    EXPECT_TRUE(body.value("optIn").isBool());
    EXPECT_TRUE(body.value("optIn").toBool());
    EXPECT_FALSE(sent[0].header("Authorization").has_value());
    EXPECT_EQ(storedCredentials(), LoginCredentials("new@example.com", "secret"));
    EXPECT_EQ(session->profileID(), "123456789012");
    EXPECT_EQ(session->credentials(), SessionCredentials("token-1", "xmpp-1"));
}

TEST(SessionService, AFailedSignUpChangesNothing) {
    for (const ScriptedResponse& answer :
         {SessionTestWorld::errorResponse(409, 22), ScriptedResponse::json(200, R"({"profileId":"7"})")}) {
        SessionTestWorld local;
        auto localSession = local.launch();
        local.route("POST /v3/users", answer);

        const auto promise = local.injector.get<CreateAccountService>()->createAccountWithEmail(
            "taken@example.com", "secret", false, Date(0));
        ASSERT_TRUE(test::waitFor(promise));

        EXPECT_TRUE(promise.isRejected());
        EXPECT_FALSE(AuthStorage(local.injector.get<MFKeychain>()).loginCredentials().has_value());
        EXPECT_FALSE(localSession->profileID().has_value());
        EXPECT_FALSE(localSession->credentials().has_value());
    }
}

}  // namespace
}  // namespace tovrin
