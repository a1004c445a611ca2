#include "Authentication/Screens/LoginViewController.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "API/TovrinServiceError.h"
#include "Authentication/SessionTestWorld.h"
#include "Cascade/NearbyUserManager.h"
#include "Cascade/UserLocator.h"
#include "Categories/UI/Color+Tovrin.h"
#include "StatusMessages/StatusMessageQueue.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/controllers/NavigationController.h"
#include "platform/ui/text/Label.h"
#include "platform/ui/views/Window.h"
#include "support/TestSupport.h"
#include "support/UITestSupport.h"

namespace tovrin {
namespace {

using test::RecordedRequest;
using test::ScriptedResponse;
using test::SessionTestWorld;

class LoginStatusMessages : public StatusMessageQueueDelegate {
public:
    void statusMessageQueueDidReceiveStatusMessage(StatusMessageQueue&,
                                                   const StatusMessage& message) override {
        texts.push_back(message.message());
        styles.push_back(message.statusMessageStyle());
    }
    QStringList texts;
    std::vector<qint64> styles;
};

ScriptedResponse ownProfileAnswer(const QString& profileID) {
    const QJsonObject profile{{"profileId", profileID}, {"displayName", "Own"}, {"age", 30}};
    return ScriptedResponse::json(200,
                                  QJsonDocument(QJsonObject{{"profiles", QJsonArray{profile}}}).toJson());
}

class LoginScreenTest : public testing::Test {
protected:
    LoginScreenTest() {
        world.injector.bindInstance(world.notificationCenter);
        world.injector.bindInstance(queue);
        world.launch();
        world.route("GET /v3/profiles/7", ownProfileAnswer("7"));
        screen = world.injector.get<LoginViewController>();
        navigation = std::make_shared<ui::NavigationController>(screen);
        // As the router shows this screen.
        navigation->setNavigationBarHidden(true, false);
        window.setRootViewController(navigation);
        window.show();
        test::drainAnimations();
        screen->view()->layoutIfNeeded();
    }
    ~LoginScreenTest() override { world.settle(); }

    void fill(const QString& email, const QString& password) {
        for (auto [field, text] :
             {std::pair{screen->emailTextField(), email}, {screen->passwordTextField(), password}}) {
            test::tap(field);
            if (!text.isEmpty()) test::typeText(text);
        }
    }
    void tapLogin() {
        test::tap(screen->loginButton());
        test::drainMainQueue();
    }
    QString sentEmail() const {
        const auto sent = world.requestsTo("POST /v3/sessions");
        if (sent.isEmpty()) return QStringLiteral("<none>");
        return QJsonDocument::fromJson(sent.last().body).object().value("email").toString();
    }
    bool debugUI() { return world.injector.get<UserDefaults>()->boolForKey(DebugUIUserDefaultsKey); }
    bool looksReady() const { return screen->loginButton()->backgroundColor() == tovrinGoldenRodColor(); }

    ui::ImmediateAnimations immediate;
    SessionTestWorld world;
    std::shared_ptr<LoginStatusMessages> messages = std::make_shared<LoginStatusMessages>();
    std::shared_ptr<StatusMessageQueue> queue = std::make_shared<StatusMessageQueue>(messages);
    ui::Window window{world.application, world.notificationCenter};
    std::shared_ptr<LoginViewController> screen;
    std::shared_ptr<ui::NavigationController> navigation;
};

TEST_F(LoginScreenTest, EmptyFormShowsBothErrorsAndSendsNothing) {
    test::saveScreenshot(&window, "login-empty");
    tapLogin();
    EXPECT_TRUE(screen->emailTextField()->showsError());
    EXPECT_TRUE(screen->passwordTextField()->showsError());
    EXPECT_EQ(screen->emailTextField()->metaLabel()->text(), "Email address is missing");
    EXPECT_EQ(screen->passwordTextField()->metaLabel()->text(), "Password is missing");
    EXPECT_TRUE(world.requestsTo("POST /v3/sessions").isEmpty());
    EXPECT_TRUE(messages->texts.isEmpty());
    test::saveScreenshot(&window, "login-field-errors");
}

TEST_F(LoginScreenTest, ButtonLooksReadyFromTheSixthPasswordCharacterYetAlwaysSends) {
    world.route("POST /v3/sessions",
                SessionTestWorld::errorResponse(401, TovrinServiceErrorInvalidCredentials));
    fill("member@example.com", "abc12");
    EXPECT_FALSE(looksReady());
    EXPECT_EQ(screen->loginButton()->titleColorForState(ui::Control::Normal), tovrinOffWhiteColor());
    test::saveScreenshot(&window, "login-keyboard-up");
    test::typeText("3");
    EXPECT_TRUE(looksReady());
    test::pressKey(Qt::Key_Backspace);
    EXPECT_FALSE(looksReady());
    tapLogin();
    ASSERT_TRUE(world.waitForRequests(1));
    EXPECT_EQ(sentEmail(), "member@example.com");
}

struct TraceCase {
    const char* name;
    const char* typed;
    const char* sent;
    bool debug;
};

class LoginTraceTest : public LoginScreenTest, public testing::WithParamInterface<TraceCase> {};

TEST_P(LoginTraceTest, PrefixCountsOnlyExactlyAtTheStart) {
    const TraceCase& c = GetParam();
    world.injector.get<UserDefaults>()->setBool(!c.debug, DebugUIUserDefaultsKey);
    world.route("POST /v3/sessions", SessionTestWorld::sessionResponse("7", "token-1"));
    fill(c.typed, "secret1");
    tapLogin();
    ASSERT_TRUE(test::runUntil([&] { return !world.requestsTo("GET /v3/profiles/7").isEmpty(); }));
    world.settle();
    EXPECT_EQ(sentEmail(), c.sent);
    EXPECT_EQ(debugUI(), c.debug);
    EXPECT_EQ(world.injector.get<UserLocator>()->debugUserLocation().has_value(), c.debug);
    EXPECT_EQ(screen->emailTextField()->text(), c.typed);
}

INSTANTIATE_TEST_SUITE_P(
    Emails, LoginTraceTest,
    testing::Values(TraceCase{"Plain", "a@example.com", "a@example.com", false},
                    TraceCase{"Prefixed", "trace=a@example.com", "a@example.com", true},
                    TraceCase{"PrefixAlone", "trace=", "", true},
                    TraceCase{"OtherCase", "TRACE=a@example.com", "TRACE=a@example.com", false},
                    TraceCase{"LeadingBlank", " trace=a@example.com", " trace=a@example.com", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LoginScreenTest, PrefixSetsTheDebugLocationEvenWhenThePasswordIsMissing) {
    fill("trace=a@example.com", "");
    tapLogin();
    const auto location = world.injector.get<UserLocator>()->debugUserLocation();
    ASSERT_TRUE(location.has_value());
    EXPECT_DOUBLE_EQ(location->coordinate.latitude, 34.098212);
    EXPECT_DOUBLE_EQ(location->coordinate.longitude, -118.337105);
    EXPECT_TRUE(world.requestsTo("POST /v3/sessions").isEmpty());
}

struct FailureCase {
    const char* name;
    int wireCode;        // the service's own code in the answer
    const char* banner;  // empty: none
};

class LoginFailureTest : public LoginScreenTest, public testing::WithParamInterface<FailureCase> {};

TEST_P(LoginFailureTest, ReportsOneErrorBannerByCode) {
    const FailureCase& c = GetParam();
    world.route("POST /v3/sessions", SessionTestWorld::errorResponse(400, c.wireCode));
    fill("a@example.com", "secret1");
    tapLogin();
    ASSERT_TRUE(world.waitForRequests(1));
    world.settle();
    if (*c.banner) {
        EXPECT_EQ(messages->texts, QStringList{c.banner});
        EXPECT_EQ(messages->styles, std::vector<qint64>{StatusMessageStyleError});
    } else {
        EXPECT_TRUE(messages->texts.isEmpty());
    }
    EXPECT_EQ(navigation->topViewController(), screen);
    EXPECT_EQ(screen->emailTextField()->text(), "a@example.com");
}

INSTANTIATE_TEST_SUITE_P(Codes, LoginFailureTest,
                         testing::Values(FailureCase{"InvalidCredentials", 4, "Email/Password is incorrect"},
                                         FailureCase{"Other", 99, "Unable to login"},
                                         FailureCase{"Banned", 27, ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LoginScreenTest, SuccessStoresTheOwnUserWithoutReporting) {
    world.route("POST /v3/sessions", SessionTestWorld::sessionResponse("7", "token-1"));
    fill("a@example.com", "secret1");
    tapLogin();
    ASSERT_TRUE(test::runUntil([&] { return !world.requestsTo("GET /v3/profiles/7").isEmpty(); }));
    world.settle();
    EXPECT_FALSE(debugUI());
    const auto user = world.injector.get<NearbyUserManager>()->retrieveNearbyUserForProfileID("7");
    ASSERT_TRUE(test::waitFor(user));
    ASSERT_TRUE(user.isFulfilled() && *user.value());
    EXPECT_EQ((*user.value())->displayName(), "Own");
    EXPECT_TRUE(messages->texts.isEmpty());
}

TEST_F(LoginScreenTest, FailedProfileFetchAfterSignInReportsNothing) {
    world.route("POST /v3/sessions", SessionTestWorld::sessionResponse("7", "token-1"));
    world.route("GET /v3/profiles/7", SessionTestWorld::errorResponse(500, 9));
    fill("a@example.com", "secret1");
    tapLogin();
    ASSERT_TRUE(test::runUntil([&] { return !world.requestsTo("GET /v3/profiles/7").isEmpty(); }));
    world.settle();
    EXPECT_TRUE(messages->texts.isEmpty());
}

TEST_F(LoginScreenTest, SecondQuickTapCancelsTheFirstAttemptsReport) {
    world.route("POST /v3/sessions",
                std::vector<ScriptedResponse>{ScriptedResponse::held(SessionTestWorld::errorResponse(
                                                  400, TovrinServiceErrorInvalidCredentials)),
                                              SessionTestWorld::errorResponse(400, 9)});
    fill("a@example.com", "secret1");
    tapLogin();
    ASSERT_TRUE(world.waitForRequests(1));
    tapLogin();
    ASSERT_TRUE(world.waitForRequests(2));
    ASSERT_TRUE(test::runUntil([&] { return !messages->texts.isEmpty(); }));
    world.server.releaseHeldResponses();
    world.settle();
    EXPECT_EQ(messages->texts, QStringList{"Unable to login"});
}

TEST_F(LoginScreenTest, KeyboardCentresTheFormAndHidesTheLogo) {
    test::tap(screen->emailTextField());
    EXPECT_EQ(screen->formVerticalCenterConstraint()->priority(), 999);
    EXPECT_EQ(screen->topFormConstraint()->priority(), 1);
    EXPECT_EQ(screen->formBottomConstraint()->priority(), 1);
    EXPECT_EQ(screen->formVerticalCenterConstraint()->constant(), -50);
    EXPECT_EQ(screen->logoImageView()->alpha(), 0);
    test::tap(window.findChild<ui::View*>("Done"));
    test::drainAnimations();
    EXPECT_EQ(screen->formVerticalCenterConstraint()->priority(), 1);
    EXPECT_EQ(screen->topFormConstraint()->priority(), 999);
    EXPECT_EQ(screen->formVerticalCenterConstraint()->constant(), -50);
    EXPECT_EQ(screen->logoImageView()->alpha(), 1);
}

}  // namespace
}  // namespace tovrin
