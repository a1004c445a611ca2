#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "platform/foundation/UUID.h"
#include "platform/system/Application.h"
#include "platform/system/Device.h"
#include "platform/system/Screen.h"
#include "support/TestSupport.h"

namespace tovrin {
namespace {

class RecordingDelegate : public ApplicationDelegate {
public:
    explicit RecordingDelegate(std::vector<QString>& calls) : calls_(calls) {}
    bool didFinishLaunching(Application&, const QVariantMap& options) override {
        calls_.push_back("launch " + options.value("option").toString());
        return true;
    }
    void applicationWillResignActive(Application&) override { calls_.push_back("willResignActive"); }
    void applicationDidEnterBackground(Application&) override { calls_.push_back("didEnterBackground"); }
    void applicationWillEnterForeground(Application&) override { calls_.push_back("willEnterForeground"); }
    void applicationDidBecomeActive(Application&) override { calls_.push_back("didBecomeActive"); }

private:
    std::vector<QString>& calls_;
};

class ApplicationTest : public testing::Test {
protected:
    std::shared_ptr<NotificationCenter> center = std::make_shared<NotificationCenter>();
    Application application{center};
    std::vector<QString> calls;
    std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>(calls);
    NotificationToken token = center->addObserver(
        QString(), &application,
        [this](const Notification& notification) { calls.push_back("posted " + notification.name); });

    void SetUp() override { application.setDelegate(delegate); }
};

TEST_F(ApplicationTest, TransitionsTakeThePlatformsStepsDelegateFirst) {
    EXPECT_TRUE(application.finishLaunching({{"option", "x"}}));
    EXPECT_EQ(application.applicationState(), ApplicationState::Inactive);
    application.setApplicationState(ApplicationState::Active);
    application.setApplicationState(ApplicationState::Background);
    application.setApplicationState(ApplicationState::Active);
    application.setApplicationState(ApplicationState::Active);
    EXPECT_EQ(calls, (std::vector<QString>{
                         "launch x",
                         "didBecomeActive",
                         "posted " + Application::DidBecomeActiveNotification,
                         "willResignActive",
                         "posted " + Application::WillResignActiveNotification,
                         "didEnterBackground",
                         "posted " + Application::DidEnterBackgroundNotification,
                         "willEnterForeground",
                         "posted " + Application::WillEnterForegroundNotification,
                         "didBecomeActive",
                         "posted " + Application::DidBecomeActiveNotification,
                     }));
}

TEST_F(ApplicationTest, AnInterruptionStopsAtInactive) {
    application.setApplicationState(ApplicationState::Active);
    calls.clear();
    application.setApplicationState(ApplicationState::Inactive);
    application.setApplicationState(ApplicationState::Active);
    EXPECT_EQ(calls, (std::vector<QString>{
                         "willResignActive", "posted " + Application::WillResignActiveNotification,
                         "didBecomeActive", "posted " + Application::DidBecomeActiveNotification}));
}

TEST_F(ApplicationTest, BackgroundTasksEndOrExpire) {
    int expired = 0;
    const auto first = application.beginBackgroundTask([&] { ++expired; });
    const auto second = application.beginBackgroundTask([&] { ++expired; });
    EXPECT_NE(first, Application::InvalidBackgroundTask);
    EXPECT_NE(first, second);
    EXPECT_EQ(application.backgroundTaskCount(), 2u);
    application.endBackgroundTask(first);
    application.endBackgroundTask(first);
    application.expireBackgroundTasks();
    EXPECT_EQ(expired, 1);
    EXPECT_EQ(application.backgroundTaskCount(), 0u);
}

TEST_F(ApplicationTest, ARefusedBackgroundTaskIsNeverExpired) {
    int expired = 0;
    application.setRefusesBackgroundTasks(true);
    EXPECT_EQ(application.beginBackgroundTask([&] { ++expired; }), Application::InvalidBackgroundTask);
    EXPECT_EQ(application.backgroundTaskCount(), 0u);
    application.setRefusesBackgroundTasks(false);
    EXPECT_NE(application.beginBackgroundTask([&] { ++expired; }), Application::InvalidBackgroundTask);
    application.expireBackgroundTasks();
    EXPECT_EQ(expired, 1);
}

TEST_F(ApplicationTest, BadgeIndicatorAndOpeningAddresses) {
    application.setApplicationIconBadgeNumber(4);
    EXPECT_EQ(application.applicationIconBadgeNumber(), 4);
    application.setNetworkActivityIndicatorVisible(true);
    EXPECT_TRUE(application.isNetworkActivityIndicatorVisible());
    std::vector<QUrl> opened;
    application.setURLOpener([&](const QUrl& url) {
        opened.push_back(url);
        return true;
    });
    EXPECT_TRUE(application.openURL(QUrl(QStringLiteral("https://example.com/help"))));
    EXPECT_FALSE(application.openURL(QUrl()));
    EXPECT_EQ(opened, (std::vector<QUrl>{QUrl(QStringLiteral("https://example.com/help"))}));
}

TEST(Device, TheVendorIdentifierIsMadeOnceAndKept) {
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("Preferences/VendorIdentifier"));
    Device device(QStringLiteral("Desktop"), QStringLiteral("Debian"), QStringLiteral("12"), file);
    const auto identifier = device.identifierForVendor();
    ASSERT_TRUE(identifier.has_value());
    EXPECT_TRUE(isUUIDString(*identifier));
    Device again(QStringLiteral("Desktop"), QStringLiteral("Debian"), QStringLiteral("12"), file);
    EXPECT_EQ(again.identifierForVendor(), identifier);
    EXPECT_EQ(again.model(), "Desktop");
    EXPECT_EQ(again.systemName(), "Debian");
    EXPECT_EQ(again.systemVersion(), "12");
}

TEST(Device, TheCurrentDeviceDescribesThisSystem) {
    auto device = Device::current();
    EXPECT_FALSE(device->model().isEmpty());
    EXPECT_FALSE(device->systemName().isEmpty());
}

TEST(Screen, APhoneSizedScreenWhoseScaleTestsCanSet) {
    Screen screen(QRectF(0, 0, 375, 667), 2);
    EXPECT_DOUBLE_EQ(screen.nativeWidth(), 750);
    screen.setScale(3);
    EXPECT_DOUBLE_EQ(screen.nativeWidth(), 1125);
    EXPECT_EQ(Screen::main()->bounds(), QRectF(0, 0, 375, 667));
    EXPECT_GT(Screen::main()->scale(), 0);
}

}  // namespace
}  // namespace tovrin

namespace tovrin {
namespace {

class PushDelegate : public ApplicationDelegate {
public:
    std::optional<QByteArray> token;
    std::optional<Error> failure;
    void didRegisterForRemoteNotificationsWithDeviceToken(Application&,
                                                          const QByteArray& deviceToken) override {
        token = deviceToken;
    }
    void didFailToRegisterForRemoteNotificationsWithError(Application&, const Error& error) override {
        failure = error;
    }
};

TEST(ApplicationRemoteNotifications, TheDeviceTokenGivenToTheApplicationAnswersLaterThroughTheDelegate) {
    auto application = std::make_shared<Application>(std::make_shared<NotificationCenter>());
    auto delegate = std::make_shared<PushDelegate>();
    application->setDelegate(delegate);
    EXPECT_FALSE(application->canReceiveRemoteNotifications());
    application->registerForRemoteNotifications();
    ASSERT_TRUE(test::runUntil([&] { return delegate->failure.has_value(); }));

    application->setRemoteNotificationDeviceToken(QByteArray::fromHex("0a0b"));
    EXPECT_TRUE(application->canReceiveRemoteNotifications());
    application->registerForRemoteNotifications();
    EXPECT_FALSE(delegate->token.has_value());
    ASSERT_TRUE(test::runUntil([&] { return delegate->token.has_value(); }));
    EXPECT_EQ(*delegate->token, QByteArray::fromHex("0a0b"));
}

}  // namespace
}  // namespace tovrin
