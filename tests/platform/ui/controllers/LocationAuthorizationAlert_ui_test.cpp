#include "platform/ui/controllers/LocationAuthorizationAlert.h"

#include <gtest/gtest.h>

#include "fixtures/location/LocationTestDoubles.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/system/SystemLocationManager.h"
#include "platform/ui/controllers/AlertController.h"
#include "platform/ui/views/Window.h"
#include "support/TestSupport.h"
#include "support/UITestSupport.h"

namespace tovrin::ui {
namespace {

class LocationAuthorizationAlertTest : public testing::Test {
protected:
    ImmediateAnimations immediate;
    test::TemporaryHome home;
    Window window{nullptr};
    std::shared_ptr<ViewController> root = std::make_shared<ViewController>();
    std::shared_ptr<UserDefaults> defaults = std::make_shared<UserDefaults>(home.path() + "/defaults.ini");
    std::shared_ptr<test::RecordingLocationDelegate> delegate =
        std::make_shared<test::RecordingLocationDelegate>();

    void SetUp() override {
        window.setRootViewController(root);
        window.makeKeyAndVisible();
    }
    // The alert finds the key window's top screen by itself, as in the application.
    std::shared_ptr<SystemLocationManager> makeManager() {
        auto manager = std::make_shared<SystemLocationManager>(
            defaults, std::make_shared<Bundle>(QVariantMap()), std::make_shared<LocationAuthorizationAlert>(),
            [](QObject*) { return nullptr; });
        manager->setDelegate(delegate);
        return manager;
    }
};

TEST_F(LocationAuthorizationAlertTest, ATapOnTheAlertAnswersAndTheAnswerIsKept) {
    struct Case {
        const char* button;
        LocationAuthorizationStatus status;
    };
    const Case cases[] = {
        {"Allow While Using App", LocationAuthorizationStatus::AuthorizedWhenInUse},
        {"Don't Allow", LocationAuthorizationStatus::Denied},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.button);
        defaults->removeObjectForKey(SystemLocationManager::AuthorizationStatusDefaultsKey);
        *delegate = test::RecordingLocationDelegate();
        auto manager = makeManager();
        manager->requestWhenInUseAuthorization();
        test::drainAnimations();
        auto alert = std::dynamic_pointer_cast<AlertController>(root->presentedViewController());
        ASSERT_NE(alert, nullptr);
        EXPECT_EQ(alert->title(),
                  QStringLiteral("Allow “Tovrin” to access your location while you are using the app?"));
        if (testCase.status == LocationAuthorizationStatus::AuthorizedWhenInUse)
            test::saveScreenshot(&window, QStringLiteral("LocationAuthorizationAlert"));

        View* button = test::findView(&window, QString::fromUtf8(testCase.button));
        ASSERT_NE(button, nullptr);
        test::tap(button);
        test::drainAnimations();
        ASSERT_TRUE(test::runUntil([&] { return !delegate->statuses.empty(); }));
        EXPECT_EQ(delegate->statuses, std::vector<LocationAuthorizationStatus>{testCase.status});
        EXPECT_EQ(root->presentedViewController(), nullptr);
        EXPECT_EQ(makeManager()->authorizationStatus(), testCase.status);
    }
}

TEST(LocationAuthorizationAlert, WithNoScreenToShowItOnTheQuestionIsNotPut) {
    LocationAuthorizationAlert alert([] { return std::shared_ptr<ViewController>(); });
    std::optional<std::optional<bool>> answered;
    alert.askForWhenInUseAuthorization([&](std::optional<bool> answer) { answered = answer; });
    ASSERT_TRUE(answered.has_value());
    EXPECT_EQ(*answered, std::nullopt);
}

}  // namespace
}  // namespace tovrin::ui
