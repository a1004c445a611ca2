#include "Authentication/Screens/CreateAccountViewController.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include "Authentication/SessionTestWorld.h"
#include "Categories/UI/Color+Tovrin.h"
#include "Categories/UI/NavigationController+Styles.h"
#include "Helpers/DeviceCurrentDateProvider.h"
#include "StatusMessages/StatusMessageQueue.h"
#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/controllers/NavigationController.h"
#include "platform/ui/text/Label.h"
#include "platform/ui/views/Window.h"
#include "support/TestSupport.h"
#include "support/UITestSupport.h"

namespace tovrin {
namespace {

using test::ScriptedResponse;
using test::SessionTestWorld;

class SignUpStatusMessages : public StatusMessageQueueDelegate {
public:
    void statusMessageQueueDidReceiveStatusMessage(StatusMessageQueue&,
                                                   const StatusMessage& message) override {
        texts.push_back(message.message());
    }
    QStringList texts;
};

class SignUpScreenTest : public testing::Test {
protected:
    SignUpScreenTest() {
        world.injector.bindInstance(world.notificationCenter);
        world.injector.bindInstance(queue);
        world.injector.bindInstance<DeviceCurrentDateProvider>(world.clock);
        world.launch();
        navigation =
            tvr_darkModalNavigationControllerWithRootViewController(std::make_shared<ui::ViewController>());
        window.setRootViewController(navigation);
        window.show();
        screen = world.injector.get<CreateAccountViewController>();
        navigation->pushViewController(screen, false);
        test::drainAnimations();
        screen->view()->layoutIfNeeded();
    }
    ~SignUpScreenTest() override { world.settle(); }

    // Today in the device's time zone, moved by whole years and days.
    Date today(int years = 0, int days = 0) const {
        return Date::fromQDateTime(
            world.clock->now().toQDateTime().toLocalTime().addYears(years).addDays(days));
    }
    void pickBirthday(Date date) {
        screen->datePicker()->setDate(date);
        screen->datePickerDidPickDate();
    }
    void fill(const QString& email, const QString& password, const QString& confirmation) {
        for (auto [field, text] : {std::pair{screen->emailTextField(), email},
                                   {screen->passwordTextField(), password},
                                   {screen->confirmPasswordTextField(), confirmation}}) {
            test::tap(field);
            if (!text.isEmpty()) test::typeText(text);
        }
    }
    // The keyboard covers the lower form, so a member ends editing first.
    void tapBelowTheFields(ui::View* view) {
        if (auto* done = window.findChild<ui::View*>("Done"); done && done->isVisible()) test::tap(done);
        test::drainAnimations();
        if (view) test::tap(view);
    }
    // A check box takes touches only around its box, at its leading side.
    void tapCheckBox(CheckmarkButton* box) {
        tapBelowTheFields(nullptr);
        test::tap(box, QPointF(33, box->bounds().height() / 2));
    }
    void tapCreate() {
        tapBelowTheFields(screen->createAccountButton());
        test::drainMainQueue();
    }
    static QString errorOf(TextFieldWithError* field) {
        return field->showsError() ? field->metaLabel()->text() : QString();
    }
    bool looksReady() const {
        return screen->createAccountButton()->backgroundColor() == tovrinGoldenRodColor();
    }
    QJsonObject sentBody() const {
        const auto sent = world.requestsTo("POST /v3/users");
        return sent.isEmpty() ? QJsonObject() : QJsonDocument::fromJson(sent.last().body).object();
    }

    ui::ImmediateAnimations immediate;
    SessionTestWorld world;
    std::shared_ptr<SignUpStatusMessages> messages = std::make_shared<SignUpStatusMessages>();
    std::shared_ptr<StatusMessageQueue> queue = std::make_shared<StatusMessageQueue>(messages);
    ui::Window window{world.application, world.notificationCenter};
    std::shared_ptr<ui::NavigationController> navigation;
    std::shared_ptr<CreateAccountViewController> screen;
};

TEST_F(SignUpScreenTest, EmptyFormShowsItsFourErrorsAtOnce) {
    test::saveScreenshot(&window, "signup-empty");
    tapCreate();
    EXPECT_EQ(errorOf(screen->emailTextField()), "Field cannot be blank");
    EXPECT_EQ(errorOf(screen->dateOfBirthTextField()), "You must be at least 18 to join Tovrin");
    EXPECT_EQ(errorOf(screen->passwordTextField()), "Oops, your password is too short");
    EXPECT_EQ(errorOf(screen->confirmPasswordTextField()), "");
    EXPECT_EQ(screen->termsOfServiceCheckmarkButton()->backgroundColor(), tovrinDestructiveActionColor());
    EXPECT_TRUE(world.requestsTo("POST /v3/users").isEmpty());
    test::saveScreenshot(&window, "signup-field-errors");
}

struct BirthdayCase {
    const char* name;
    int years, days;
    bool passes;
};

class SignUpBirthdayTest : public SignUpScreenTest, public testing::WithParamInterface<BirthdayCase> {};

TEST_P(SignUpBirthdayTest, EighteenWholeYearsAreNeeded) {
    pickBirthday(today(GetParam().years, GetParam().days));
    tapCreate();
    EXPECT_EQ(errorOf(screen->dateOfBirthTextField()).isEmpty(), GetParam().passes);
}

INSTANTIATE_TEST_SUITE_P(Boundary, SignUpBirthdayTest,
                         testing::Values(BirthdayCase{"ExactlyEighteen", -18, 0, true},
                                         BirthdayCase{"OneDayShort", -18, 1, false},
                                         BirthdayCase{"Older", -30, 0, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SignUpScreenTest, NotReadyUntilADateIsPickedAndTheTermsAccepted) {
    fill("new@example.com", "secret1", "secret2");
    tapCheckBox(screen->termsOfServiceCheckmarkButton());
    EXPECT_FALSE(looksReady());
    test::saveScreenshot(&window, "signup-keyboard-up");
    pickBirthday(today(-20));
    test::tap(screen->emailTextField());
    test::typeText("m");
    EXPECT_TRUE(looksReady()) << screen->termsOfServiceCheckmarkButton()->isSelected() << " "
                              << screen->dateOfBirthTextField()->text().toStdString() << " "
                              << screen->emailTextField()->text().toStdString();
    tapCreate();
    EXPECT_EQ(errorOf(screen->confirmPasswordTextField()), "Oops, your passwords don't match");
    EXPECT_TRUE(world.requestsTo("POST /v3/users").isEmpty());
}

TEST_F(SignUpScreenTest, SendsTheOffersChoiceAndTheBirthdayInMilliseconds) {
    world.route("POST /v3/users", SessionTestWorld::sessionResponse("9", "token-1"));
    EXPECT_TRUE(screen->offersCheckmarkButton()->isSelected());
    fill("new@example.com", "secret1", "secret1");
    tapCheckBox(screen->offersCheckmarkButton());
    tapCheckBox(screen->termsOfServiceCheckmarkButton());
    const Date birthday = today(-25);
    pickBirthday(birthday);
    tapCreate();
    ASSERT_TRUE(world.waitForRequests(1));
    world.settle();
    const QJsonObject body = sentBody();
    EXPECT_EQ(body.value("email").toString(), "new@example.com");
    EXPECT_EQ(body.value("password").toString(), "secret1");
    EXPECT_EQ(body.value("optIn"), QJsonValue(false));
    EXPECT_DOUBLE_EQ(body.value("birthday").toDouble(), birthday.timeIntervalSince1970() * 1000);
    EXPECT_TRUE(messages->texts.isEmpty());
}

struct SignUpFailureCase {
    const char* name;
    int wireCode;
    const char* fieldError;
    const char* banner;
};

class SignUpFailureTest : public SignUpScreenTest, public testing::WithParamInterface<SignUpFailureCase> {};

TEST_P(SignUpFailureTest, InUseShowsInTheFieldOthersAsOneBanner) {
    world.route("POST /v3/users", SessionTestWorld::errorResponse(400, GetParam().wireCode));
    fill("new@example.com", "secret1", "secret1");
    tapCheckBox(screen->termsOfServiceCheckmarkButton());
    pickBirthday(today(-25));
    tapCreate();
    ASSERT_TRUE(world.waitForRequests(1));
    ASSERT_TRUE(test::runUntil([&] { return !screen->isCreatingAccount(); }));
    EXPECT_EQ(errorOf(screen->emailTextField()), GetParam().fieldError);
    EXPECT_EQ(messages->texts, *GetParam().banner ? QStringList{GetParam().banner} : QStringList{});
}

INSTANTIATE_TEST_SUITE_P(Codes, SignUpFailureTest,
                         testing::Values(SignUpFailureCase{"InUse", 22,
                                                           "This email address is already in use", ""},
                                         SignUpFailureCase{"Other", 99, "", "Unable to create account"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SignUpScreenTest, SecondTapWhileSigningUpSendsNothing) {
    world.route("POST /v3/users", ScriptedResponse::held(SessionTestWorld::sessionResponse("9", "token-1")));
    fill("new@example.com", "secret1", "secret1");
    tapCheckBox(screen->termsOfServiceCheckmarkButton());
    pickBirthday(today(-25));
    tapCreate();
    ASSERT_TRUE(test::runUntil([&] { return world.server.heldResponseCount() == 1; }));
    tapCreate();
    world.server.releaseHeldResponses();
    ASSERT_TRUE(test::runUntil([&] { return !screen->isCreatingAccount(); }));
    world.settle();
    EXPECT_EQ(world.requestsTo("POST /v3/users").size(), 1);
}

}  // namespace
}  // namespace tovrin
