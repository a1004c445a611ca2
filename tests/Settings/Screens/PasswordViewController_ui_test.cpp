#include "Settings/Screens/PasswordViewController.h"

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

class PasswordStatusMessages : public StatusMessageQueueDelegate {
public:
    void statusMessageQueueDidReceiveStatusMessage(StatusMessageQueue&,
                                                   const StatusMessage& message) override {
        texts.push_back(message.message());
    }
    QStringList texts;
};

// Records what was stored when the screen reported the change.
class PasswordChangeDelegate : public PasswordViewControllerDelegate {
public:
    explicit PasswordChangeDelegate(SessionTestWorld& world) : world(world) {}
    void passwordViewControllerDidChangePassword(PasswordViewController&) override {
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

const QString tooShort = "Oops, your password is too short";
const QString mismatch = "Oops, your passwords don't match";

class PasswordScreenTest : public testing::Test {
protected:
    PasswordScreenTest() {
        world.injector.bindInstance(world.notificationCenter);
        world.injector.bindInstance(queue);
        session = world.launchSignedIn("7", "token-0");
        world.settle();
        auto root = std::make_shared<ui::ViewController>();
        // The settings screen's navigation controller: dark and opaque, so the form starts below it.
        navigation = tvr_darkModalNavigationControllerWithRootViewController(root);
        window.setRootViewController(navigation);
        window.show();
        screen = world.injector.get<PasswordViewController>();
        screen->setDelegate(delegate);
        navigation->pushViewController(screen, false);
        test::drainAnimations();
        screen->view()->layoutIfNeeded();
    }
    ~PasswordScreenTest() override { world.settle(); }

    void fill(const QString& old, const QString& fresh, const QString& confirmation) {
        for (auto [field, text] : {std::pair{screen->oldPasswordTextField(), old},
                                   {screen->myNewPasswordTextField(), fresh},
                                   {screen->confirmPasswordTextField(), confirmation}}) {
            test::tap(field);
            if (!text.isEmpty()) test::typeText(text);
        }
    }
    void tapChange() {
        test::tap(window.findChild<ui::View*>("Done"));
        test::drainAnimations();
        test::tap(screen->changePasswordButton());
        test::drainMainQueue();
    }
    static QString errorOf(TextFieldWithError* field) {
        return field->showsError() ? field->metaLabel()->text() : QString();
    }
    bool looksComplete() const {
        return screen->changePasswordButton()->backgroundColor() == tovrinGoldenRodColor();
    }

    ui::ImmediateAnimations immediate;
    SessionTestWorld world;
    std::shared_ptr<PasswordStatusMessages> messages = std::make_shared<PasswordStatusMessages>();
    std::shared_ptr<StatusMessageQueue> queue = std::make_shared<StatusMessageQueue>(messages);
    std::shared_ptr<PasswordChangeDelegate> delegate = std::make_shared<PasswordChangeDelegate>(world);
    std::shared_ptr<UserSession> session;
    ui::Window window{world.application, world.notificationCenter};
    std::shared_ptr<ui::NavigationController> navigation;
    std::shared_ptr<PasswordViewController> screen;
};

struct CheckCase {
    const char* name;
    const char* old;
    const char* fresh;
    const char* confirmation;
    QString oldError, newError, confirmationError;
    bool sent;
};

class PasswordChecksTest : public PasswordScreenTest, public testing::WithParamInterface<CheckCase> {};

TEST_P(PasswordChecksTest, EachFieldShowsItsOwnErrorAndOnlyAValidFormIsSent) {
    const CheckCase& c = GetParam();
    world.route("POST /v3/users/update-password",
                SessionTestWorld::sessionResponse("7", "token-1", "xmpp-1"));
    fill(c.old, c.fresh, c.confirmation);
    tapChange();
    EXPECT_EQ(errorOf(screen->oldPasswordTextField()), c.oldError);
    EXPECT_EQ(errorOf(screen->myNewPasswordTextField()), c.newError);
    EXPECT_EQ(errorOf(screen->confirmPasswordTextField()), c.confirmationError);
    if (c.sent) ASSERT_TRUE(test::runUntil([&] { return delegate->changes == 1; }));
    world.settle();
    EXPECT_EQ(world.requestsTo("POST /v3/users/update-password").size(), c.sent ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, PasswordChecksTest,
    testing::Values(CheckCase{"AllEmpty", "", "", "", tooShort, tooShort, "", false},
                    CheckCase{"ShortCurrent", "abcde", "newpass", "newpass", tooShort, "", "", false},
                    CheckCase{"LastCharacterDiffers", "secret", "abcdef", "abcdeg", "", "", mismatch, false},
                    CheckCase{"Valid", "secret", " blank ", " blank ", "", "", "", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PasswordScreenTest, LooksCompleteFromTheSixthCharacterOfBothNewFields) {
    test::saveScreenshot(&window, "password-empty");
    fill("s", "abcde", "abcdef");
    EXPECT_FALSE(looksComplete());
    test::saveScreenshot(&window, "password-keyboard-up");
    test::tap(screen->myNewPasswordTextField());
    test::typeText("f");
    EXPECT_TRUE(looksComplete());
    tapChange();
    test::saveScreenshot(&window, "password-field-errors");
}

TEST_F(PasswordScreenTest, SuccessStoresTheKeychainThenTheTokensThenTellsTheDelegate) {
    world.route("POST /v3/users/update-password",
                SessionTestWorld::sessionResponse("7", "token-1", "xmpp-1"));
    fill("secret", "newpass", "newpass");
    tapChange();
    ASSERT_TRUE(test::runUntil([&] { return delegate->changes == 1; }));
    EXPECT_EQ(delegate->keychainAtReport, LoginCredentials("ann@example.com", "newpass"));
    EXPECT_EQ(delegate->tokenAtReport, "token-1");
    const auto body =
        QJsonDocument::fromJson(world.requestsTo("POST /v3/users/update-password").first().body);
    EXPECT_EQ(body.object(), (QJsonObject{{"oldPassword", "secret"}, {"newPassword", "newpass"}}));
    EXPECT_TRUE(messages->texts.isEmpty());
}

TEST_F(PasswordScreenTest, RefusalIsOneGenericBannerAndKeepsTheFields) {
    world.route("POST /v3/users/update-password", SessionTestWorld::errorResponse(400, 24));
    fill("secret", "newpass", "newpass");
    tapChange();
    ASSERT_TRUE(test::runUntil([&] { return !messages->texts.isEmpty(); }));
    EXPECT_EQ(messages->texts, QStringList{"Unable to change password"});
    EXPECT_EQ(delegate->changes, 0);
    EXPECT_EQ(screen->myNewPasswordTextField()->text(), "newpass");
    EXPECT_EQ(AuthStorage(world.injector.get<MFKeychain>()).loginCredentials(),
              LoginCredentials("ann@example.com", "secret"));
}

TEST_F(PasswordScreenTest, KeyboardInsetIsTheBeginFrameHeightLessTen) {
    QRectF begin;
    auto token = world.notificationCenter->addObserver(
        ui::Keyboard::WillShowNotification, nullptr, [&](const Notification& n) {
            begin = n.userInfo.value(ui::Keyboard::FrameBeginUserInfoKey).toRectF();
        });
    test::tap(screen->oldPasswordTextField());
    ASSERT_GT(begin.height(), 0);
    EXPECT_EQ(screen->textFieldsScrollView()->contentInset().bottom, begin.height() - 10);
    EXPECT_EQ(screen->textFieldsScrollView()->scrollIndicatorInsets().bottom, begin.height() - 10);
    test::tap(window.findChild<ui::View*>("Done"));
    test::drainAnimations();
    EXPECT_EQ(screen->textFieldsScrollView()->contentInset().bottom, 0);
}

}  // namespace
}  // namespace tovrin
