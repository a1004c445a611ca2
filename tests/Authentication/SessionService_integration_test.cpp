#include "Authentication/SessionService.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>

#include "API/TovrinServiceError.h"
#include "Authentication/CreateAccountService.h"
#include "Authentication/SessionTestWorld.h"
#include "Keychain/MFKeychain.h"
#include "Persistence/TemporaryStore.h"
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

// What a sign-in or a renewal leaves behind, over the loopback server or a closed port. A sign-in
// starts from a signed-out launch that still has the member before's profile id ("7") and store; a
// renewal from Ann ("7") remembered, with her data in the store.
TEST(SessionService, SignInAndRenewalLeaveTheStoredPairProfileAndStoreAsTheAnswerSays) {
    enum class Operation { SignIn, Renewal };
    enum class Store { TheSameOne, ANewOne, None };
    struct Case {
        const char* name;
        Operation operation;
        std::optional<ScriptedResponse> answer;  // nothing: offline, the host's port closed
        std::optional<qint64> failure;
        std::optional<LoginCredentials> storedPair;
        std::optional<QString> storedProfileID;
        Store store;
        int signOuts;
    };
    const LoginCredentials bob("bob@example.com", "typed");
    const LoginCredentials ann("ann@example.com", "secret");
    const Case cases[] = {
        {"sign-in, wrong password", Operation::SignIn, SessionTestWorld::errorResponse(401, 4),
         TovrinServiceErrorInvalidCredentials, std::nullopt, "7", Store::TheSameOne, 0},
        {"sign-in, offline", Operation::SignIn, std::nullopt, TovrinServiceErrorNoInternetConnection,
         std::nullopt, "7", Store::TheSameOne, 0},
        {"sign-in, 503", Operation::SignIn, ScriptedResponse::empty(503), TovrinServiceErrorServerError,
         std::nullopt, "7", Store::TheSameOne, 0},
        {"sign-in, accepted", Operation::SignIn, SessionTestWorld::sessionResponse("8", "token-bob"),
         std::nullopt, bob, "8", Store::ANewOne, 0},
        {"renewal, password refused", Operation::Renewal, SessionTestWorld::errorResponse(401, 4),
         TovrinServiceErrorInvalidCredentials, std::nullopt, std::nullopt, Store::None, 1},
        {"renewal, offline", Operation::Renewal, std::nullopt, TovrinServiceErrorNoInternetConnection, ann,
         "7", Store::TheSameOne, 0},
        {"renewal, 503", Operation::Renewal, ScriptedResponse::empty(503), TovrinServiceErrorServerError, ann,
         "7", Store::TheSameOne, 0},
        {"renewal, accepted", Operation::Renewal, SessionTestWorld::sessionResponse("7", "token-ann"),
         std::nullopt, ann, "7", Store::TheSameOne, 0},
        {"renewal, another profile id", Operation::Renewal,
         SessionTestWorld::sessionResponse("99", "token-99"), TovrinServiceErrorInvalidCredentials,
         std::nullopt, std::nullopt, Store::None, 1},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        SessionTestWorld local(testCase.answer ? QString() : test::closedPortURL().toString());
        if (!testCase.answer) local.reachability->setStatus(net::NetworkStatus::NotReachable);
        if (testCase.operation == Operation::SignIn) {
            local.injector.get<UserDefaults>()->setObject("7", UserSessionProfileIDUserDefaultsKey);
        } else {
            local.remember(ann.email().value(), ann.password().value(), "7");
        }
        // A remembered launch renews at once for the session's load of the favourites: the renewal
        // under test is asked for while that one runs, and shares it.
        const bool renewing = testCase.answer && testCase.operation == Operation::Renewal;
        if (renewing) local.route("POST /v3/sessions", ScriptedResponse::held(*testCase.answer));
        auto localSession = local.launch();
        const auto storeBefore = localSession->tovrinPersistence();
        ASSERT_TRUE(test::await(storeBefore->saveImageHashes({"ann-photo"})));
        if (renewing) ASSERT_TRUE(test::runUntil([&] { return local.server.heldResponseCount() == 1; }));
        if (testCase.answer && !renewing) local.route("POST /v3/sessions", *testCase.answer);
        int signOuts = 0;
        auto observer = local.notificationCenter->addObserver(UserDidLogoutNotification, nullptr,
                                                              [&](const Notification&) { ++signOuts; });
        const int writesBefore = local.keychain->calls - local.keychain->reads;

        auto service = local.injector.get<SessionService>();
        const auto promise = testCase.operation == Operation::SignIn
                                 ? service->loginWithEmail(bob.email(), bob.password())
                                 : service->renewSessionCredentialsWithEmail(ann.email(), ann.password());
        local.server.releaseHeldResponses();
        ASSERT_TRUE(test::waitFor(promise));
        local.settleAll();

        if (testCase.failure) {
            ASSERT_TRUE(promise.isRejected());
            EXPECT_EQ(*promise.error(), tovrinServiceError(*testCase.failure));
        } else {
            EXPECT_TRUE(promise.isFulfilled());
        }
        EXPECT_EQ(AuthStorage(local.injector.get<MFKeychain>()).loginCredentials(), testCase.storedPair);
        EXPECT_EQ(localSession->profileID(), testCase.storedProfileID);
        EXPECT_EQ(localSession->isSessionActive(), testCase.storedPair && testCase.storedProfileID);
        EXPECT_EQ(signOuts, testCase.signOuts);
        // Only a sign-in that the service accepted and a sign-out write to the keychain.
        const bool wrote = local.keychain->calls - local.keychain->reads != writesBefore;
        EXPECT_EQ(wrote, (testCase.operation == Operation::SignIn && !testCase.failure) || testCase.signOuts);

        const auto store = local.injector.get<TovrinPersistence>();
        switch (testCase.store) {
            case Store::TheSameOne:
                EXPECT_EQ(store, storeBefore);
                EXPECT_EQ(test::await(store->getImageHashes()), QStringList({"ann-photo"}));
                break;
            case Store::ANewOne:
                ASSERT_NE(store, nullptr);
                EXPECT_NE(store, storeBefore);
                EXPECT_EQ(store->path(), storeBefore->path());
                EXPECT_FALSE(test::await(store->getImageHashes()).has_value());
                break;
            case Store::None:
                EXPECT_EQ(store, nullptr);
                EXPECT_TRUE(test::runUntil([&] { return !QFile::exists(storeBefore->path()); }));
                break;
        }
        // The other member's tokens never reach the session nor any request.
        EXPECT_NE(localSession->credentials(), SessionCredentials("token-99", "xmpp-1"));
        for (const RecordedRequest& request : local.requests())
            EXPECT_NE(request.header("Authorization"), "Tovrin3 token-99");
    }
}

TEST_F(SessionServiceTest, SignInWithoutAnEmailOrPasswordStoresNothingAndFailsWith2WithoutARequest) {
    const auto promise = sessionService()->loginWithEmail("ann@example.com", std::nullopt);
    ASSERT_TRUE(test::waitFor(promise));

    EXPECT_EQ(*promise.error(), tovrinServiceError(TovrinServiceErrorInvalidCredentials));
    EXPECT_FALSE(storedCredentials().has_value());
    EXPECT_TRUE(world.requests().isEmpty());
}

// As the push-token removal after a sign-out asks for it: nobody is left to sign out.
TEST_F(SessionServiceTest, ARenewalWithoutCredentialsWritesNothingAndFailsWith2WithoutARequest) {
    int signOuts = 0;
    auto observer = world.notificationCenter->addObserver(UserDidLogoutNotification, nullptr,
                                                          [&](const Notification&) { ++signOuts; });
    const int callsBefore = world.keychain->calls;

    for (const auto& [email, password] :
         std::vector<std::pair<std::optional<QString>, std::optional<QString>>>{
             {std::nullopt, std::nullopt}, {"ann@example.com", std::nullopt}, {std::nullopt, "secret"}}) {
        const auto renewal = sessionService()->renewSessionCredentialsWithEmail(email, password);
        ASSERT_TRUE(test::waitFor(renewal));
        EXPECT_EQ(*renewal.error(), tovrinServiceError(TovrinServiceErrorInvalidCredentials));
    }

    EXPECT_EQ(world.keychain->calls, callsBefore);
    EXPECT_TRUE(world.keychain->items.isEmpty());
    EXPECT_TRUE(world.requests().isEmpty());
    EXPECT_EQ(signOuts, 0);
}

TEST_F(SessionServiceTest, SignInRefusedByTheThrottlerStoresAndSendsNothing) {
    auto throttler = world.injector.get<TovrinWebAPIThrottler>();
    for (int failure = 0; failure < 3; ++failure) throttler->actionDidFail(SessionService::LoginActionKey);

    const auto promise = sessionService()->loginWithEmail("ann@example.com", "secret");
    ASSERT_TRUE(test::waitFor(promise));

    EXPECT_EQ(*promise.error(), tovrinServiceError(TovrinServiceErrorThrottled));
    EXPECT_FALSE(storedCredentials().has_value());
    EXPECT_TRUE(world.requests().isEmpty());
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
    ASSERT_TRUE(world.waitForRequests(1));
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
    world.route("POST /v3/sessions", SessionTestWorld::sessionResponse("7", "token-1", "xmpp-1"));
    std::optional<SessionCredentials> seen;
    std::optional<QString> profileSeen;

    const auto renewal = sessionService()->renewSessionCredentialsWithEmail("ann@example.com", "secret");
    const auto done = renewal.then([&](const SessionInfo&) {
        seen = session->credentials();
        profileSeen = session->profileID();
    });
    ASSERT_TRUE(test::waitFor(done));

    EXPECT_EQ(seen, SessionCredentials("token-1", "xmpp-1"));
    EXPECT_EQ(profileSeen, "7");
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
        const ScriptedResponse answer = accepted ? SessionTestWorld::sessionResponse("7", "token-ann-2")
                                                 : SessionTestWorld::errorResponse(401, 4);
        // Only Ann's renewal is held.
        local.route("POST /v3/sessions", std::vector{ScriptedResponse::held(answer), answer});
        const auto renewal = local.injector.get<SessionService>()->renewSessionCredentialsWithEmail(
            "ann@example.com", "secret");
        ASSERT_TRUE(test::runUntil([&] { return local.server.heldResponseCount() == 1; }));

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
