#include "Cascade/ExpirationNotifier.h"

#include <gtest/gtest.h>

#include "AppModule.h"
#include "Cascade/RemoteNotificationRegistrationReceptionist.h"
#include "platform/di/Injector.h"
#include "platform/system/Application.h"
#include "support/FakeClock.h"
#include "support/FakeTimerFactory.h"
#include "support/TestSupport.h"

namespace tovrin {
namespace {

class CountingDelegate : public ExpirationNotifierDelegate {
public:
    void expirationNotifierDidExpire(ExpirationNotifier& notifier) override {
        ++expiries;
        expiredWhenTold = notifier.isExpired();
    }
    int expiries = 0;
    bool expiredWhenTold = false;
};

class ExpirationNotifierTest : public testing::Test {
protected:
    ExpirationNotifierTest() { notifier->setDelegate(delegate); }

    // Moves the clock on and fires the timers armed for that long, as the run loop would by then.
    void pass(double seconds) {
        clock->advance(seconds);
        for (const auto& timer : timers->scheduledTimers()) {
            if (timer->timeInterval() <= seconds) timer->fire();
        }
    }

    std::shared_ptr<NotificationCenter> center = std::make_shared<NotificationCenter>();
    std::shared_ptr<Application> application = std::make_shared<Application>(center);
    std::shared_ptr<test::FakeTimerFactory> timers = std::make_shared<test::FakeTimerFactory>();
    std::shared_ptr<test::FakeClock> clock = std::make_shared<test::FakeClock>();
    std::shared_ptr<CountingDelegate> delegate = std::make_shared<CountingDelegate>();
    std::unique_ptr<ExpirationNotifier> notifier =
        std::make_unique<ExpirationNotifier>(center, timers, clock);
};

TEST_F(ExpirationNotifierTest, APageExpiresOnceAtItsDate) {
    EXPECT_TRUE(notifier->isExpired());
    notifier->setExpirationDate(clock->now().addingTimeInterval(90));
    EXPECT_FALSE(notifier->isExpired());
    EXPECT_TRUE(timers->hasTimerWithInterval(90));
    clock->advance(90);
    EXPECT_EQ(delegate->expiries, 0);
    EXPECT_EQ(timers->fireTimersWithInterval(90), 1);
    EXPECT_EQ(delegate->expiries, 1);
    EXPECT_TRUE(delegate->expiredWhenTold);
    EXPECT_TRUE(notifier->isExpired());
    EXPECT_TRUE(timers->scheduledTimers().empty());
}

TEST_F(ExpirationNotifierTest, ANewDateReplacesThePendingOne) {
    notifier->setExpirationDate(clock->now().addingTimeInterval(90));
    pass(30);
    notifier->setExpirationDate(clock->now().addingTimeInterval(120));
    ASSERT_EQ(timers->scheduledTimers().size(), 1u);
    EXPECT_EQ(timers->fireTimersWithInterval(90), 0);
    pass(120);
    EXPECT_EQ(delegate->expiries, 1);
}

TEST_F(ExpirationNotifierTest, APassedDateExpiresAtTheNextTurnOfTheRealRunLoop) {
    ExpirationNotifier real(center, std::make_shared<TimerFactory>(), clock);
    real.setDelegate(delegate);
    real.setExpirationDate(clock->now().addingTimeInterval(-5));
    EXPECT_EQ(delegate->expiries, 0);
    EXPECT_TRUE(test::runUntil([&] { return delegate->expiries == 1; }));
    EXPECT_TRUE(real.isExpired());
}

TEST_F(ExpirationNotifierTest, EveryReturnToTheForegroundExpires) {
    application->setApplicationState(ApplicationState::Background);
    notifier->setExpirationDate(clock->now().addingTimeInterval(600));
    application->setApplicationState(ApplicationState::Active);
    EXPECT_EQ(delegate->expiries, 1);
    EXPECT_TRUE(timers->scheduledTimers().empty());
    // Already expired: told again.
    application->setApplicationState(ApplicationState::Background);
    application->setApplicationState(ApplicationState::Active);
    EXPECT_EQ(delegate->expiries, 2);
}

TEST_F(ExpirationNotifierTest, SettingTheFlagCancelsOrArmsNothing) {
    notifier->setExpirationDate(clock->now().addingTimeInterval(90));
    notifier->setExpired(true);
    EXPECT_TRUE(timers->scheduledTimers().empty());
    pass(90);
    EXPECT_EQ(delegate->expiries, 0);

    notifier->setExpired(false);
    EXPECT_FALSE(notifier->isExpired());
    EXPECT_TRUE(timers->scheduledTimers().empty());
}

TEST_F(ExpirationNotifierTest, AnExpiryBeyondOneTimerIsReachedInSteps) {
    const double hundredDays = 100 * 24 * 3600.0;
    notifier->setExpirationDate(clock->now().addingTimeInterval(hundredDays));
    for (int step = 0; step < 99; ++step) {
        ASSERT_TRUE(timers->hasTimerWithInterval(ExpirationNotifier::MaximumTimerInterval));
        pass(ExpirationNotifier::MaximumTimerInterval);
        ASSERT_EQ(delegate->expiries, 0) << step;
    }
    pass(ExpirationNotifier::MaximumTimerInterval);
    EXPECT_EQ(delegate->expiries, 1);
}

TEST_F(ExpirationNotifierTest, AGoneDelegateOrAGoneNotifierHearsNothing) {
    notifier->setExpirationDate(clock->now().addingTimeInterval(90));
    delegate.reset();
    pass(90);
    EXPECT_TRUE(notifier->isExpired());

    auto watcher = std::make_shared<CountingDelegate>();
    notifier->setDelegate(watcher);
    notifier->setExpirationDate(clock->now().addingTimeInterval(90));
    const auto timer = timers->scheduledTimers().front();
    notifier.reset();
    EXPECT_FALSE(timer->isValid());
    application->setApplicationState(ApplicationState::Background);
    application->setApplicationState(ApplicationState::Active);
    EXPECT_EQ(watcher->expiries, 0);
}

TEST(RemoteNotificationRegistrationReceptionistTest, RegistersOncePerContainer) {
    const auto once = [](Injector& injector) {
        auto application = std::make_shared<Application>(std::make_shared<NotificationCenter>());
        application->setRemoteNotificationDeviceToken(QByteArray("token"));
        int tokens = 0;
        struct Counting : ApplicationDelegate {
            int* tokens;
            explicit Counting(int* t) : tokens(t) {}
            void didRegisterForRemoteNotificationsWithDeviceToken(Application&, const QByteArray&) override {
                ++*tokens;
            }
        };
        auto delegate = std::make_shared<Counting>(&tokens);
        application->setDelegate(delegate);
        for (int call = 0; call < 3; ++call) {
            injector.get<RemoteNotificationRegistrationReceptionist>()
                ->registerRemoteNotificationsForApplication(*application);
        }
        test::drainMainQueue();
        return std::pair(application->userNotificationTypes(), tokens);
    };
    Injector process;
    AppModule().configure(process);
    EXPECT_EQ(once(process), std::pair(quint64(7), 1));
    // Later calls in the same process register nothing.
    EXPECT_EQ(once(process), std::pair(quint64(0), 0));
    // A process of its own starts fresh.
    Injector another;
    AppModule().configure(another);
    EXPECT_EQ(once(another), std::pair(quint64(7), 1));
}

}  // namespace
}  // namespace tovrin
