#include "Settings/Screens/UpdateEmailViewController.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include "Authentication/AuthStorage.h"
#include "Authentication/SessionTestWorld.h"
#include "Authentication/UserSession.h"
#include "Categories/UI/Color+Tovrin.h"
#include "Categories/UI/NavigationController+Styles.h"
#include "Keychain/MFKeychain.h"
#include "StatusMessages/StatusMessageQueue.h"
#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/controllers/NavigationController.h"
#include "platform/ui/input/Keyboard.h"
#include "platform/ui/views/Window.h"
#include "support/TestSupport.h"
#include "support/UITestSupport.h"

namespace tovrin {
namespace {

using test::SessionTestWorld;

class EmailStatusMessages : public StatusMessageQueueDelegate {
public:
    void statusMessageQueueDidReceiveStatusMessage(StatusMessageQueue&,
                                                   const StatusMessage& message) override {
        texts.push_back(message.message());
    }
    QStringList texts;
};

// Records what was stored when the screen reported the change.
class EmailChangeDelegate : public UpdateEmailViewControllerDelegate {
public:
    explicit EmailChangeDelegate(SessionTestWorld& world) : world(world) {}
    void updateEmailViewControllerDidChangeEmail(UpdateEmailViewController&) override {
        ++changes;
        keychainAtReport = AuthStorage(world.injector.get<MFKeychain>()).loginCredentials();
        if (auto session = UserSession::sharedSession(); session && session->credentials())
            tokenAtReport = session->credentials()->sessionToken();
    }
    SessionTestWorld& world;
    int changes = 0;
    std::optional<LoginCredentials> keychainAtReport;
    QString tokenAtReport;
};

const QString blank = "Field cannot be blank";
const QString invalid = "invalid email";
const QString missing = "Password is missing";

class EmailScreenTest : public testing::Test {
protected:
    EmailScreenTest() {
        world.injector.bindInstance(world.notificationCenter);
        world.injector.bindInstance(queue);
        session = world.launchSignedIn("7", "token-0");
        world.settle();
        navigation =
            tvr_darkModalNavigationControllerWithRootViewController(std::make_shared<ui::ViewController>());
        window.setRootViewController(navigation);
        window.show();
        screen = world.injector.get<UpdateEmailViewController>();
        screen->setDelegate(delegate);
        navigation->pushViewController(screen, false);
        test::drainAnimations();
        screen->view()->layoutIfNeeded();
    }
    ~EmailScreenTest() override { world.settle(); }

    void fill(const QString& email, const QString& password) {
        for (auto [field, text] : {std::pair{screen->changeEmailTextField(), email},
                                   {screen->currentPasswordTextField(), password}}) {
            test::tap(field);
            if (!text.isEmpty()) test::typeText(text);
        }
    }
    void tapChange() {
        test::tap(window.findChild<ui::View*>("Done"));
        test::drainAnimations();
        test::tap(screen->changeEmailButton());
        test::drainMainQueue();
    }
    static QString errorOf(TextFieldWithError* field) {
        return field->showsError() ? field->metaLabel()->text() : QString();
    }
    bool looksReady() const {
        return screen->changeEmailButton()->backgroundColor() == tovrinGoldenRodColor();
    }

    ui::ImmediateAnimations immediate;
    SessionTestWorld world;
    std::shared_ptr<EmailStatusMessages> messages = std::make_shared<EmailStatusMessages>();
    std::shared_ptr<StatusMessageQueue> queue = std::make_shared<StatusMessageQueue>(messages);
    std::shared_ptr<EmailChangeDelegate> delegate = std::make_shared<EmailChangeDelegate>(world);
    std::shared_ptr<UserSession> session;
    ui::Window window{world.application, world.notificationCenter};
    std::shared_ptr<ui::NavigationController> navigation;
    std::shared_ptr<UpdateEmailViewController> screen;
};

struct EmailCheckCase {
    const char* name;
    const char* email;
    const char* password;
    QString emailError, passwordError;
};

class EmailChecksTest : public EmailScreenTest, public testing::WithParamInterface<EmailCheckCase> {};

TEST_P(EmailChecksTest, InvalidFormsShowTheirErrorsAndSendNothing) {
    const EmailCheckCase& c = GetParam();
    fill(c.email, c.password);
    tapChange();
    EXPECT_EQ(errorOf(screen->changeEmailTextField()), c.emailError);
    EXPECT_EQ(errorOf(screen->currentPasswordTextField()), c.passwordError);
    EXPECT_TRUE(world.requestsTo("POST /v3/users/email").isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Forms, EmailChecksTest,
    testing::Values(EmailCheckCase{"BothEmpty", "", "", blank, missing},
                    EmailCheckCase{"Space", "a b@example.com", "secret", invalid, ""},
                    EmailCheckCase{"TrailingSpace", "a@example.com ", "secret", invalid, ""},
                    EmailCheckCase{"NoAt", "example.com", "secret", invalid, ""},
                    EmailCheckCase{"TwoAts", "a@b@example.com", "secret", invalid, ""},
                    EmailCheckCase{"NothingBeforeAt", "@example.com", "secret", invalid, ""},
                    EmailCheckCase{"NothingAfterAt", "a@", "secret", invalid, ""},
                    EmailCheckCase{"PasswordMissing", "a@b", "", "", missing}),
    [](const auto& info) { return std::string(info.param.name); });

struct EmailFailureCase {
    const char* name;
    int wireCode;
    const char* banner;
};

class EmailFailureTest : public EmailScreenTest, public testing::WithParamInterface<EmailFailureCase> {};

TEST_P(EmailFailureTest, ReportsOneBannerByCodeAndStoresNothing) {
    world.route("POST /v3/users/email", SessionTestWorld::errorResponse(400, GetParam().wireCode));
    fill("bea@example.com", "abc");
    tapChange();
    ASSERT_TRUE(test::runUntil([&] { return !messages->texts.isEmpty(); }));
    EXPECT_EQ(messages->texts, QStringList{GetParam().banner});
    EXPECT_EQ(delegate->changes, 0);
    EXPECT_EQ(AuthStorage(world.injector.get<MFKeychain>()).loginCredentials(),
              LoginCredentials("ann@example.com", "secret"));
    EXPECT_EQ(screen->changeEmailTextField()->text(), "bea@example.com");
}

INSTANTIATE_TEST_SUITE_P(Codes, EmailFailureTest,
                         testing::Values(EmailFailureCase{"InUse", 22, "Email already exists"},
                                         EmailFailureCase{"WrongPassword", 24, "Password is incorrect"},
                                         EmailFailureCase{"Other", 99, "Unable to change email"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EmailScreenTest, LooksReadyFromTheSixthPasswordCharacter) {
    test::saveScreenshot(&window, "email-empty");
    fill("bea@example.com", "abcde");
    EXPECT_FALSE(looksReady());
    test::saveScreenshot(&window, "email-keyboard-up");
    test::typeText("f");
    EXPECT_TRUE(looksReady());
}

TEST_F(EmailScreenTest, FieldErrorsScreenshot) {
    fill("not an address", "");
    tapChange();
    test::saveScreenshot(&window, "email-field-errors");
    EXPECT_EQ(errorOf(screen->changeEmailTextField()), invalid);
}

TEST_F(EmailScreenTest, SuccessStoresTheKeychainThenTheTokensThenTellsTheDelegate) {
    world.route("POST /v3/users/email", SessionTestWorld::sessionResponse("7", "token-1", "xmpp-1"));
    fill("Bea@Example.com", "secret");
    tapChange();
    ASSERT_TRUE(test::runUntil([&] { return delegate->changes == 1; }));
    EXPECT_EQ(delegate->keychainAtReport, LoginCredentials("Bea@Example.com", "secret"));
    EXPECT_EQ(delegate->tokenAtReport, "token-1");
    EXPECT_EQ(screen->emailLabel()->text(), "ann@example.com");
}

TEST_F(EmailScreenTest, KeyboardInsetIsTheBeginFrameHeightLessFifty) {
    QRectF begin;
    auto token = world.notificationCenter->addObserver(
        ui::Keyboard::WillShowNotification, nullptr, [&](const Notification& n) {
            begin = n.userInfo.value(ui::Keyboard::FrameBeginUserInfoKey).toRectF();
        });
    test::tap(screen->changeEmailTextField());
    ASSERT_GT(begin.height(), 0);
    EXPECT_EQ(screen->textFieldsScrollView()->contentInset().bottom, begin.height() - 50);
    EXPECT_EQ(screen->textFieldsScrollView()->scrollIndicatorInsets().bottom, begin.height() - 50);
}

}  // namespace
}  // namespace tovrin
