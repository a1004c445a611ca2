#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include "API/TovrinServiceError.h"
#include "Authentication/AuthStorage.h"
#include "Authentication/SessionTestWorld.h"
#include "Authentication/UserSession.h"
#include "Keychain/MFKeychain.h"
#include "UpdateEmailService.h"
#include "UpdatePasswordService.h"
#include "support/TestSupport.h"

namespace tovrin {
namespace {

using test::ScriptedResponse;
using test::SessionTestWorld;
using Change = Promise<std::optional<SessionInfo>>;

// One account change: what the member sends, where, and the credentials a success stores (the
// world signs in as "ann@example.com" with "secret").
struct ChangeCase {
    const char* name;
    const char* methodAndPath;
    std::function<Change(Injector&)> send;
    QJsonObject body;
    LoginCredentials stored;
};

const ChangeCase changes[] = {
    {"Password", "POST /v3/users/update-password",
     [](Injector& injector) {
         return injector.get<UpdatePasswordService>()->updatePasswordFromOldPassword("secret", " new pass ");
     },
     QJsonObject{{"oldPassword", "secret"}, {"newPassword", " new pass "}},
     LoginCredentials("ann@example.com", " new pass ")},
    {"Email", "POST /v3/users/email",
     [](Injector& injector) {
         return injector.get<UpdateEmailService>()->updateEmail("Bea@Example.com", "secret");
     },
     QJsonObject{{"newEmail", "Bea@Example.com"}, {"password", "secret"}},
     LoginCredentials("Bea@Example.com", "secret")},
};

class AccountChangeTest : public testing::TestWithParam<ChangeCase> {
protected:
    AccountChangeTest() {
        session = world.launchSignedIn("7", "token-0");
        world.settle();
    }
    std::optional<LoginCredentials> keychain() {
        return AuthStorage(world.injector.get<MFKeychain>()).loginCredentials();
    }
    Change sent() {
        Change change = GetParam().send(world.injector);
        EXPECT_TRUE(test::waitFor(change));
        return change;
    }

    SessionTestWorld world;
    std::shared_ptr<UserSession> session;
};

TEST_P(AccountChangeTest, SuccessStoresTheCredentialsAndHandsTheTokensToTheSession) {
    world.route(GetParam().methodAndPath, SessionTestWorld::sessionResponse("7", "token-1", "xmpp-1"));
    const Change change = sent();
    ASSERT_TRUE(change.isFulfilled());
    ASSERT_TRUE(change.value()->has_value());
    EXPECT_EQ((*change.value())->credentials().sessionToken(), "token-1");
    const auto requests = world.requestsTo(GetParam().methodAndPath);
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(QJsonDocument::fromJson(requests.first().body).object(), GetParam().body);
    EXPECT_EQ(requests.first().header("Authorization").has_value(), true);
    EXPECT_EQ(keychain(), GetParam().stored);
    ASSERT_TRUE(session->credentials().has_value());
    EXPECT_EQ(session->credentials()->sessionToken(), "token-1");
    EXPECT_EQ(session->credentials()->xmppToken(), "xmpp-1");
}

TEST_P(AccountChangeTest, RefusalStoresNothing) {
    world.route(GetParam().methodAndPath, SessionTestWorld::errorResponse(400, 24));
    const Change change = sent();
    ASSERT_TRUE(change.isRejected());
    EXPECT_EQ(keychain(), LoginCredentials("ann@example.com", "secret"));
    EXPECT_EQ(session->credentials()->sessionToken(), "token-0");
}

TEST_P(AccountChangeTest, AnswerWithoutTokensStoresTheCredentialsButKeepsTheSessionTokens) {
    world.route(GetParam().methodAndPath, ScriptedResponse::json(200, "{}"));
    const Change change = sent();
    ASSERT_TRUE(change.isFulfilled());
    EXPECT_FALSE(change.value()->has_value());
    EXPECT_EQ(keychain(), GetParam().stored);
    EXPECT_EQ(session->credentials()->sessionToken(), "token-0");
}

TEST_P(AccountChangeTest, AnswerAfterSignOutStoresNothingAndFailsWith10) {
    world.route(GetParam().methodAndPath,
                ScriptedResponse::held(SessionTestWorld::sessionResponse("7", "token-1", "xmpp-1")));
    Change change = GetParam().send(world.injector);
    ASSERT_TRUE(test::runUntil([&] { return world.server.heldResponseCount() == 1; }));
    session->logout();
    world.server.releaseHeldResponses();
    ASSERT_TRUE(test::waitFor(change));
    ASSERT_TRUE(change.isRejected());
    EXPECT_TRUE(isTovrinServiceError(*change.error(), TovrinServiceErrorSessionRenewalFailed));
    EXPECT_EQ(keychain(), std::nullopt);
    EXPECT_TRUE(!session->credentials() || session->credentials()->sessionToken() != "token-1");
}

INSTANTIATE_TEST_SUITE_P(Changes, AccountChangeTest, testing::ValuesIn(changes),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tovrin
