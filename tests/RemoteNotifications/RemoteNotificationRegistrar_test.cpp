#include "RemoteNotifications/RemoteNotificationRegistrar.h"

#include <gtest/gtest.h>

#include "platform/system/Application.h"
#include "support/TestSupport.h"

namespace tovrin {
namespace {

// Hands the platform's replies to the registrar, as the application delegate does.
class ForwardingDelegate : public ApplicationDelegate {
public:
    std::shared_ptr<RemoteNotificationRegistrar> registrar;
    int registrations = 0;
    void didRegisterForRemoteNotificationsWithDeviceToken(Application&, const QByteArray& token) override {
        ++registrations;
        registrar->didRegisterForRemoteNotificationsWithDeviceToken(token);
    }
    void didFailToRegisterForRemoteNotificationsWithError(Application&, const Error& error) override {
        ++registrations;
        registrar->didFailToRegisterForRemoteNotificationsWithError(error);
    }
};

class RegistrarTest : public testing::Test {
protected:
    const QByteArray token = QByteArray::fromHex("00ab0f");
    std::shared_ptr<Application> application =
        std::make_shared<Application>(std::make_shared<NotificationCenter>());
    std::shared_ptr<RemoteNotificationRegistrar> registrar =
        std::make_shared<RemoteNotificationRegistrar>(application);
    std::shared_ptr<ForwardingDelegate> delegate = std::make_shared<ForwardingDelegate>();

    void SetUp() override {
        delegate->registrar = registrar;
        application->setDelegate(delegate);
    }
};

TEST_F(RegistrarTest, WithoutAPushServiceEveryRegistrationIsRejectedAsInASimulator) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        auto promise = registrar->registerForRemoteNotifications();
        ASSERT_TRUE(promise.isRejected());
        EXPECT_EQ(*promise.error(), Error("NotValidInSimulatorDomain", 1));
    }
    test::drainMainQueue();
    EXPECT_EQ(delegate->registrations, 0);
}

TEST_F(RegistrarTest, ATokenOnceReceivedServesEveryLaterRequest) {
    application->setRemoteNotificationDeviceToken(token);
    auto first = registrar->registerForRemoteNotifications();
    EXPECT_EQ(application->userNotificationTypes(), 7u);
    ASSERT_TRUE(test::waitFor(first));
    EXPECT_EQ(*first.value(), token);
    auto second = registrar->registerForRemoteNotifications();
    EXPECT_TRUE(second.isFulfilled());
    test::drainMainQueue();
    EXPECT_EQ(delegate->registrations, 1);
}

TEST_F(RegistrarTest, ANewRequestReplacesAPendingOne) {
    application->setDelegate(std::shared_ptr<ApplicationDelegate>());  // the platform stays silent
    application->setRemoteNotificationDeviceToken(token);
    auto first = registrar->registerForRemoteNotifications();
    auto second = registrar->registerForRemoteNotifications();
    registrar->didRegisterForRemoteNotificationsWithDeviceToken(token);
    EXPECT_TRUE(first.isPending());
    EXPECT_TRUE(second.isFulfilled());
}

TEST_F(RegistrarTest, RepliesWithNothingPendingAreDroppedAndAFailureStartsOver) {
    application->setDelegate(std::shared_ptr<ApplicationDelegate>());
    application->setRemoteNotificationDeviceToken(token);
    registrar->didRegisterForRemoteNotificationsWithDeviceToken(token);  // nothing pending: dropped
    auto failed = registrar->registerForRemoteNotifications();
    registrar->didFailToRegisterForRemoteNotificationsWithError(Error("Platform", 3));
    registrar->didRegisterForRemoteNotificationsWithDeviceToken(token);  // after the failure: ignored
    ASSERT_TRUE(failed.isRejected());
    EXPECT_EQ(failed.error()->code(), 3);
    auto retried = registrar->registerForRemoteNotifications();
    EXPECT_TRUE(retried.isPending());
    registrar->didRegisterForRemoteNotificationsWithDeviceToken(token);
    EXPECT_EQ(*retried.value(), token);
}

}  // namespace
}  // namespace tovrin
