#include <QJsonArray>

#include "API/BootstrapService.h"
#include "API/ChatServerInfo.h"
#include "Rules/RulesJSONMapper.h"
#include "sandbox/SandboxTestSupport.h"

namespace tovrin {
namespace {

using test::SandboxTest;

class AccountEndpointsTest : public SandboxTest {
protected:
    Promise<QJsonValue> signUp(const QString& email, const QString& password, double birthday) {
        const QJsonObject body{
            {"email", email}, {"password", password}, {"birthday", birthday}, {"optIn", true}};
        return send(TovrinAPIRequest::POSTRequestWithPath("/v3/users", std::nullopt, body));
    }

    Promise<QJsonValue> signInRequest(const QString& email, const QString& password) {
        return send(TovrinAPIRequest::POSTRequestWithPath(
            "/v3/sessions", std::nullopt, QJsonObject{{"email", email}, {"password", password}}));
    }

    static double birthdayYearsAgo(int years) {
        return Date::fromQDateTime(QDateTime::currentDateTimeUtc().addYears(-years).addDays(-1))
            .millisecondsSince1970();
    }
};

TEST_F(AccountEndpointsTest, TheBootstrapNamesTheSandboxsHostsAndRules) {
    const QUrl hostURL = sandbox->webURL();
    const QJsonObject answer = answerOf(settled(service->JSONWithURLRequest(
        service->GETRequestWithURL(BootstrapService::bootstrapURLWithHostURL(hostURL), std::nullopt))));
    const ServiceJSONMapper mapper;
    EXPECT_EQ(mapper.URLWithJSONDictionary(BootstrapService::firstServiceEntry(answer, "media")),
              sandbox->mediaURL());
    EXPECT_EQ(mapper.URLWithJSONDictionary(BootstrapService::firstServiceEntry(answer, "upload")),
              sandbox->uploadURL());
    EXPECT_EQ(mapper.URLWithJSONDictionary(BootstrapService::firstServiceEntry(answer, "web")),
              sandbox->webURL());

    const QJsonObject chat = BootstrapService::firstServiceEntry(answer, "chat");
    const ChatServerInfo chatServer(chat.value("protocol").toString(), chat.value("host").toString(),
                                    quint32(chat.value("port").toInteger()), chat.value("domain").toString());
    EXPECT_EQ(chatServer.host(), sandbox->chatHost());
    EXPECT_EQ(chatServer.domain(), sandbox->chatDomain());
    EXPECT_EQ(chatServer.port(), 5222u);

    const auto rules =
        RulesJSONMapper().configurationRulesWithJSONDictionary(answer.value("configuration").toObject());
    EXPECT_EQ(rules->app().maxCascadePages(), quint32(options().maxCascadePages));
    ASSERT_TRUE(rules->serverTime());
    EXPECT_LT(std::abs(rules->serverTime()->timeIntervalSinceDate(Date::now())), 60);

    // The sign-in screen's password-reset page lives on the authentication web host.
    const Promise<QUrl> authenticationWeb = bootstrapService()->retrieveAuthenticationWebURL();
    ASSERT_TRUE(test::waitFor(authenticationWeb, test::sandboxPatience));
    EXPECT_EQ(*authenticationWeb.value(), sandbox->authenticationWebURL());
}

TEST_F(AccountEndpointsTest, TheAuthenticationWebHostServesTheResetPageAndTheHelpCentre) {
    for (const char* path :
         {"/v3/user/password/reset/request/?locale=en-US", "/hc/en-us", "/hc/en-us/requests/new"}) {
        const QUrl url = sandbox->authenticationWebURL().resolved(QUrl(QString::fromLatin1(path)));
        Promise<net::DataTaskResponse> page = rawSession->dataTaskPromise(net::URLRequest(url));
        ASSERT_TRUE(test::waitFor(page, test::sandboxPatience));
        ASSERT_TRUE(page.isFulfilled());
        EXPECT_EQ(page.value()->response.statusCode(), 200) << path;
        EXPECT_TRUE(page.value()->response.valueForHTTPHeaderField("Content-Type")->startsWith("text/html"))
            << path;
        EXPECT_TRUE(page.value()->data.contains("<form") || QByteArray(path) == "/hc/en-us") << path;
    }
}

TEST_F(AccountEndpointsTest, SignInAndSignUpAnswerWithTheMembersTokens) {
    const QJsonObject signedIn = answerOf(signInRequest("DEMO@tovrin.test", "sandbox"));
    EXPECT_TRUE(signedIn.value("profileId").isDouble());
    EXPECT_FALSE(signedIn.value("sessionId").toString().isEmpty());
    EXPECT_FALSE(signedIn.value("xmppToken").toString().isEmpty());

    const QJsonObject signedUp = answerOf(signUp("new.member@example.org", "secret1", birthdayYearsAgo(18)));
    EXPECT_NE(signedUp.value("profileId"), signedIn.value("profileId"));
    EXPECT_FALSE(signedUp.value("sessionId").toString().isEmpty());
    EXPECT_FALSE(signedUp.value("xmppToken").toString().isEmpty());
    // The new member signs in with what was given.
    EXPECT_EQ(answerOf(signInRequest("new.member@example.org", "secret1")).value("profileId"),
              signedUp.value("profileId"));
}

TEST_F(AccountEndpointsTest, RefusedSignInsAndSignUpsCarryTheCodesTheClientMaps) {
    ASSERT_EQ(admin("POST", "/admin/members/100010/ban").first, 200);
    struct Case {
        const char* name;
        std::function<Promise<QJsonValue>()> call;
        qint64 code;
    };
    const Case cases[] = {
        {"wrong password", [&] { return signInRequest("demo@tovrin.test", "wrong"); },
         TovrinServiceErrorInvalidCredentials},
        {"unknown e-mail", [&] { return signInRequest("nobody@tovrin.test", "sandbox"); },
         TovrinServiceErrorInvalidCredentials},
        {"banned member", [&] { return signInRequest("member100010@tovrin.test", "sandbox"); },
         TovrinServiceErrorUserBanned},
        {"e-mail in use", [&] { return signUp("demo@tovrin.test", "secret1", birthdayYearsAgo(30)); },
         TovrinServiceErrorEmailAlreadyInUse},
        {"too young", [&] { return signUp("young@example.org", "secret1", birthdayYearsAgo(17)); },
         TovrinServiceErrorGeneric},
        {"short password", [&] { return signUp("short@example.org", "12345", birthdayYearsAgo(30)); },
         TovrinServiceErrorGeneric},
    };
    for (const Case& c : cases) EXPECT_EQ(errorCodeOf(c.call()), c.code) << c.name;
    ASSERT_EQ(world->listeners->calls.size(), 1u);
    EXPECT_EQ(world->listeners->calls[0].name, "userIsBanned");
}

TEST_F(AccountEndpointsTest, EmailAndPasswordChangesRenewTheSessionAndRefuseWrongPasswords) {
    const test::SignedInMember before = signInAsDemoMember();
    auto changeEmail = [&](const QString& email, const QString& password) {
        return sendSignedIn(TovrinAPIRequest::POSTRequestWithPath(
            "/v3/users/email", std::nullopt, QJsonObject{{"newEmail", email}, {"password", password}}));
    };
    auto changePassword = [&](const QString& oldPassword, const QString& newPassword) {
        return sendSignedIn(TovrinAPIRequest::POSTRequestWithPath(
            "/v3/users/update-password", std::nullopt,
            QJsonObject{{"oldPassword", oldPassword}, {"newPassword", newPassword}}));
    };
    EXPECT_EQ(errorCodeOf(changeEmail("demo2@tovrin.test", "wrong")), TovrinServiceErrorPasswordIncorrect);
    EXPECT_EQ(errorCodeOf(changeEmail("member100005@tovrin.test", "sandbox")),
              TovrinServiceErrorEmailAlreadyInUse);
    EXPECT_EQ(errorCodeOf(changePassword("wrong", "renewed1")), TovrinServiceErrorPasswordIncorrect);

    const QJsonObject changed = answerOf(changeEmail("demo2@tovrin.test", "sandbox"));
    EXPECT_EQ(changed.value("profileId").toVariant().toString(), before.profileID);
    EXPECT_NE(changed.value("sessionId").toString(), before.sessionToken);
    EXPECT_NE(changed.value("xmppToken").toString(), before.xmppToken);
    EXPECT_FALSE(answerOf(changePassword("sandbox", "renewed1")).value("sessionId").toString().isEmpty());

    EXPECT_EQ(errorCodeOf(signInRequest("demo@tovrin.test", "sandbox")),
              TovrinServiceErrorInvalidCredentials);
    EXPECT_EQ(errorCodeOf(signInRequest("demo2@tovrin.test", "sandbox")),
              TovrinServiceErrorInvalidCredentials);
    EXPECT_EQ(
        answerOf(signInRequest("demo2@tovrin.test", "renewed1")).value("profileId").toVariant().toString(),
        before.profileID);
}

TEST_F(AccountEndpointsTest, OnlyAMissingUnknownOrExpiredTokenIsRefusedWith401) {
    const test::SignedInMember member = signInAsDemoMember();
    auto favorites = [&](const QString& token) {
        net::URLRequest request(sandbox->webURL().resolved(QUrl("/v3/me/favorites")));
        if (!token.isNull()) request.setValue("Tovrin3 " + token, "Authorization");
        return raw(request).first;
    };
    EXPECT_EQ(favorites(member.sessionToken), 200);
    EXPECT_EQ(favorites(QString()), 401);
    EXPECT_EQ(favorites("unknown"), 401);
    ASSERT_EQ(admin("POST", "/admin/members/" + member.profileID + "/expire-sessions").first, 200);
    EXPECT_EQ(favorites(member.sessionToken), 401);
    // A new sign-in gives a working token again.
    EXPECT_EQ(favorites(signInAsDemoMember().sessionToken), 200);
}

class SignedInAtLaunchTest : public SandboxTest {
protected:
    void launch() override { world->launchSignedIn(); }
};

TEST_F(SignedInAtLaunchTest, TheClientRenewsAnExpiredSessionAndItsCallSucceeds) {
    const auto session = world->session();
    ASSERT_TRUE(session->isSessionActive());
    const QString profileID = session->profileID().value_or(QString());
    const QString expiredToken = session->credentials()->sessionToken();
    ASSERT_EQ(admin("GET", "/admin/members?email=demo@tovrin.test")
                  .second.value("profileId")
                  .toVariant()
                  .toString(),
              profileID);
    ASSERT_EQ(admin("POST", "/admin/members/" + profileID + "/expire-sessions").first, 200);

    answerOf(sendSignedIn(TovrinAPIRequest::GETRequestWithPath("/v3/me/favorites", std::nullopt)));
    EXPECT_TRUE(session->isSessionActive());
    EXPECT_EQ(session->profileID(), profileID);
    ASSERT_TRUE(session->credentials());
    EXPECT_NE(session->credentials()->sessionToken(), expiredToken);
    auto favorites = [&](const QString& token) {
        net::URLRequest request(sandbox->webURL().resolved(QUrl("/v3/me/favorites")));
        request.setValue("Tovrin3 " + token, "Authorization");
        return raw(request).first;
    };
    EXPECT_EQ(favorites(expiredToken), 401);
    EXPECT_EQ(favorites(session->credentials()->sessionToken()), 200);
}

TEST_F(AccountEndpointsTest, ADeprecatedClientAndServerErrorsReachTheClientAsTheirCodes) {
    signInAsDemoMember();
    world->settleAll();  // the session's own load of the favourites meets none of the errors below
    auto favorites = [&] {
        return sendSignedIn(TovrinAPIRequest::GETRequestWithPath("/v3/me/favorites", std::nullopt));
    };
    ASSERT_EQ(admin("POST", "/admin/server-errors",
                    QJsonObject{{"method", "GET"}, {"path", "/v3/me/fav*"}, {"status", 503}, {"count", 2}})
                  .first,
              200);
    EXPECT_EQ(errorCodeOf(favorites()), TovrinServiceErrorServerError);
    EXPECT_EQ(errorCodeOf(favorites()), TovrinServiceErrorServerError);
    EXPECT_EQ(errorCodeOf(favorites()), 0);

    ASSERT_EQ(admin("POST", "/admin/client-deprecated", QJsonObject{{"deprecated", true}}).first, 200);
    EXPECT_EQ(errorCodeOf(favorites()), TovrinServiceErrorClientDeprecated);
    EXPECT_EQ(errorCodeOf(send(TovrinAPIRequest::GETRequestWithPath("/v3/managed-fields", std::nullopt))),
              TovrinServiceErrorClientDeprecated);
    ASSERT_EQ(world->listeners->calls.size(), 2u);
    EXPECT_EQ(world->listeners->calls[0].name, "clientIsDeprecated");
    ASSERT_EQ(admin("POST", "/admin/client-deprecated", QJsonObject{{"deprecated", false}}).first, 200);
    EXPECT_EQ(errorCodeOf(favorites()), 0);
}

TEST_F(AccountEndpointsTest, TheOptionListsComeAsTheClientReadsThem) {
    const QJsonObject fields =
        answerOf(send(TovrinAPIRequest::GETRequestWithPath("/v3/managed-fields", std::nullopt)))
            .value("fields")
            .toObject();
    for (const char* list : {"tovrinTribes", "bodyType", "ethnicity", "lookingFor", "relationshipStatus",
                             "socialNetworks", "reportReasons"}) {
        const QJsonArray options = fields.value(QLatin1String(list)).toArray();
        ASSERT_FALSE(options.isEmpty()) << list;
        EXPECT_TRUE(options[0].toObject().value("fieldId").isDouble()) << list;
        EXPECT_TRUE(options[0].toObject().value("name").isString()) << list;
    }
}

TEST_F(AccountEndpointsTest, TheAdminInterfaceReplacesTheOptionListsWhole) {
    auto lists = [&] {
        return answerOf(send(TovrinAPIRequest::GETRequestWithPath("/v3/managed-fields", std::nullopt)))
            .value("fields")
            .toObject();
    };
    const QJsonObject standard = lists();
    // Served as given, odd entries included, so the client's handling of them can be shown.
    const QJsonObject replaced{
        {"bodyType", QJsonArray{QJsonObject{{"fieldId", 2}, {"name", "Ordinary"}}, "not an option"}},
        {"ethnicity", QJsonArray()}};
    ASSERT_EQ(admin("POST", "/admin/managed-fields", QJsonObject{{"fields", replaced}}).first, 200);
    EXPECT_EQ(lists(), replaced);

    for (const QJsonObject& body : {QJsonObject(), QJsonObject{{"fields", QJsonValue::Null}},
                                    QJsonObject{{"fields", QJsonArray{replaced}}}}) {
        EXPECT_EQ(admin("POST", "/admin/managed-fields", body).first, 400)
            << QJsonDocument(body).toJson().toStdString();
    }
    EXPECT_EQ(lists(), replaced);

    ASSERT_EQ(admin("DELETE", "/admin/managed-fields").first, 200);
    EXPECT_EQ(lists(), standard);
}

TEST_F(AccountEndpointsTest, PushTokensRegisterAndUnregisterWithTheConfiguredDeviceToken) {
    const test::SignedInMember member = signInAsDemoMember();
    const QString token = sandbox::Sandbox::remoteNotificationDeviceToken;
    const QJsonObject body{{"token", token},
                           {"vendorProvidedIdentifier", "6F9619FF-8B86-D011-B42D-00CF4FC964FF"}};
    answerOf(sendSignedIn(TovrinAPIRequest::POSTRequestWithPath("/v3/ios-push-tokens", std::nullopt, body)));
    EXPECT_EQ(
        admin("GET", "/admin/members/" + member.profileID).second.value("pushTokens").toObject().value(token),
        "6F9619FF-8B86-D011-B42D-00CF4FC964FF");
    answerOf(sendSignedIn(
        TovrinAPIRequest::DELETERequestWithPath("/v3/push-tokens/" + token, std::nullopt, std::nullopt)));
    EXPECT_TRUE(
        admin("GET", "/admin/members/" + member.profileID).second.value("pushTokens").toObject().isEmpty());
    EXPECT_EQ(errorCodeOf(sendSignedIn(TovrinAPIRequest::POSTRequestWithPath(
                  "/v3/ios-push-tokens", std::nullopt, QJsonObject{{"token", "not hex"}}))),
              TovrinServiceErrorGeneric);
}

}  // namespace
}  // namespace tovrin
