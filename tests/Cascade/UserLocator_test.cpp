#include "Cascade/UserLocator.h"

#include <gtest/gtest.h>

#include "fixtures/location/LocationTestDoubles.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/system/SystemLocationManager.h"
#include "support/FakeTimerFactory.h"
#include "support/TestSupport.h"

namespace tovrin {
namespace {

// A location manager the test plays: it records what the locator asks and the test answers for
// the platform through the delegate.
class ScriptedLocationManager : public LocationManager {
public:
    LocationAuthorizationStatus status = LocationAuthorizationStatus::AuthorizedWhenInUse;
    int authorizationRequests = 0;
    int starts = 0;
    int stops = 0;
    bool updating = false;

    LocationAuthorizationStatus authorizationStatus() const override { return status; }
    void requestWhenInUseAuthorization() override { ++authorizationRequests; }
    void startUpdatingLocation() override {
        ++starts;
        updating = true;
    }
    void stopUpdatingLocation() override {
        ++stops;
        updating = false;
    }

    void deliver(std::vector<Location> locations) {
        delegate()->locationManagerDidUpdateLocations(*this, locations);
    }
    void deliver(double accuracy) { deliver({fix(accuracy)}); }
    void fail(const Error& error) { delegate()->locationManagerDidFailWithError(*this, error); }
    void answer(LocationAuthorizationStatus answered) {
        status = answered;
        delegate()->locationManagerDidChangeAuthorizationStatus(*this, answered);
    }

    // Accuracy tells fixes apart, so the position moves with it.
    static Location fix(double accuracy) {
        return Location{Coordinate{52.52 + accuracy / 1000, 13.405}, accuracy,
                        Date(1'700'000'000 + accuracy)};
    }
};

class ScopedEnvironmentVariable {
public:
    explicit ScopedEnvironmentVariable(const char* name) : name_(name) { qputenv(name_, "1"); }
    ~ScopedEnvironmentVariable() { qunsetenv(name_); }

private:
    const char* name_;
};

class UserLocatorTest : public testing::Test {
protected:
    std::shared_ptr<ScriptedLocationManager> manager = std::make_shared<ScriptedLocationManager>();
    std::shared_ptr<test::FakeTimerFactory> timers = std::make_shared<test::FakeTimerFactory>();
    std::shared_ptr<NotificationCenter> center = std::make_shared<NotificationCenter>();
    UserLocator locator{manager, center, timers};

    static qint64 codeOf(const Promise<Location>& promise) {
        EXPECT_TRUE(promise.isRejected());
        if (!promise.isRejected()) return -1;
        EXPECT_EQ(promise.error()->domain(), UserLocatorErrorDomain);
        EXPECT_TRUE(promise.error()->userInfo().isEmpty());
        return promise.error()->code();
    }
};

TEST_F(UserLocatorTest, CallersDuringOneRequestShareItAndALaterCallStartsAnother) {
    Promise<Location> first = locator.getUserLocation();
    Promise<Location> second = locator.getUserLocation();
    EXPECT_EQ(manager->starts, 1);
    EXPECT_EQ(manager->authorizationRequests, 0);
    EXPECT_TRUE(locator.hasOngoingPromise());

    std::vector<Location> received;
    first.then([&](const Location& location) { received.push_back(location); });
    second.then([&](const Location& location) { received.push_back(location); });
    manager->deliver(30);
    EXPECT_TRUE(test::runUntil([&] { return received.size() == 2; }));
    EXPECT_EQ(received[0], ScriptedLocationManager::fix(30));
    EXPECT_EQ(received[1], ScriptedLocationManager::fix(30));
    EXPECT_EQ(locator.mostRecentLocation(), ScriptedLocationManager::fix(30));
    EXPECT_FALSE(manager->updating);
    EXPECT_FALSE(locator.hasOngoingPromise());

    // The next caller waits for a new fix rather than taking the last one.
    Promise<Location> later = locator.getUserLocation();
    test::drainMainQueue();
    EXPECT_TRUE(later.isPending());
    EXPECT_EQ(manager->starts, 2);
    manager->deliver(40);
    EXPECT_EQ(later.value(), ScriptedLocationManager::fix(40));
}

TEST_F(UserLocatorTest, OnlyAFixBetweenZeroAndAHundredMetresIsAccepted) {
    struct Case {
        const char* name;
        std::vector<std::vector<double>> deliveries;  // accuracies, each delivery's last one counts
        std::optional<double> resolvedWith;
    };
    const Case cases[] = {
        {"a coarse fix, then one at the limit", {{250}, {100}}, 100},
        {"exactly 100 m", {{100.0}}, 100.0},
        {"just beyond", {{100.1}}, std::nullopt},
        {"zero", {{0}}, 0},
        {"negative marks an invalid fix", {{-1}}, std::nullopt},
        {"an invalid fix, then a good one", {{-5}, {50}}, 50},
        {"only the last of a delivery counts", {{10, 250}}, std::nullopt},
        {"the last of a delivery is good", {{250, 10}}, 10},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        auto scripted = std::make_shared<ScriptedLocationManager>();
        UserLocator fresh(scripted, center, timers);
        Promise<Location> promise = fresh.getUserLocation();
        for (const auto& accuracies : testCase.deliveries) {
            std::vector<Location> locations;
            for (double accuracy : accuracies) locations.push_back(ScriptedLocationManager::fix(accuracy));
            scripted->deliver(locations);
        }
        if (testCase.resolvedWith) {
            EXPECT_EQ(promise.value(), ScriptedLocationManager::fix(*testCase.resolvedWith));
            EXPECT_EQ(fresh.mostRecentLocation(), ScriptedLocationManager::fix(*testCase.resolvedWith));
            EXPECT_FALSE(scripted->updating);
        } else {
            EXPECT_TRUE(promise.isPending());
            EXPECT_EQ(fresh.mostRecentLocation(), std::nullopt);
            EXPECT_TRUE(scripted->updating);
        }
    }
}

TEST_F(UserLocatorTest, TheFirstRequestAsksForPermissionAndTheAnswerDecides) {
    struct Case {
        const char* name;
        LocationAuthorizationStatus answer;
        bool resolves;
    };
    const Case cases[] = {
        {"allowed", LocationAuthorizationStatus::AuthorizedWhenInUse, true},
        {"refused", LocationAuthorizationStatus::Denied, false},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        auto scripted = std::make_shared<ScriptedLocationManager>();
        scripted->status = LocationAuthorizationStatus::NotDetermined;
        auto fakeTimers = std::make_shared<test::FakeTimerFactory>();
        UserLocator fresh(scripted, center, fakeTimers);
        Promise<Location> promise = fresh.getUserLocation();
        EXPECT_EQ(scripted->authorizationRequests, 1);
        EXPECT_EQ(scripted->starts, 0);
        // The bound on the wait does not count the member's time over the prompt.
        EXPECT_FALSE(fakeTimers->hasTimerWithInterval(UserLocator::RequestTimeLimit));

        scripted->answer(testCase.answer);
        if (testCase.resolves) {
            EXPECT_EQ(scripted->starts, 1);
            EXPECT_TRUE(fakeTimers->hasTimerWithInterval(UserLocator::RequestTimeLimit));
            scripted->deliver(20);
            EXPECT_EQ(promise.value(), ScriptedLocationManager::fix(20));
        } else {
            EXPECT_EQ(codeOf(promise), UserLocatorErrorPermissionDenied);
            EXPECT_FALSE(fresh.hasOngoingPromise());
        }
    }
}

TEST_F(UserLocatorTest, PermissionGrantedWithNoRequestRunningOnlyRefreshesTheLastFix) {
    manager->answer(LocationAuthorizationStatus::AuthorizedWhenInUse);
    EXPECT_EQ(manager->starts, 1);
    EXPECT_TRUE(timers->scheduledTimers().empty());
    manager->deliver(15);
    EXPECT_EQ(locator.mostRecentLocation(), ScriptedLocationManager::fix(15));
    EXPECT_FALSE(manager->updating);
}

TEST_F(UserLocatorTest, FailuresMapToTheLocatorsCodesAndStopTheUpdates) {
    struct Case {
        const char* name;
        LocationAuthorizationStatus status;
        Error failure;
        qint64 code;
    };
    const Case cases[] = {
        {"already denied", LocationAuthorizationStatus::Denied,
         Error(LocationErrorDomain, LocationErrorDenied), UserLocatorErrorPermissionDenied},
        {"restricted", LocationAuthorizationStatus::Restricted,
         Error(LocationErrorDomain, LocationErrorDenied), UserLocatorErrorPermissionDenied},
        {"location unknown", LocationAuthorizationStatus::AuthorizedWhenInUse,
         Error(LocationErrorDomain, LocationErrorLocationUnknown), UserLocatorErrorLocationFailure},
        {"network", LocationAuthorizationStatus::AuthorizedWhenInUse,
         Error(LocationErrorDomain, LocationErrorNetwork), UserLocatorErrorLocationFailure},
        {"another domain", LocationAuthorizationStatus::AuthorizedWhenInUse, Error("SomeOtherDomain", 1),
         UserLocatorErrorOther},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        auto scripted = std::make_shared<ScriptedLocationManager>();
        scripted->status = testCase.status;
        UserLocator fresh(scripted, center, timers);
        Promise<Location> promise = fresh.getUserLocation();
        // Whatever the status, the platform is asked to start and answers with its failure.
        EXPECT_EQ(scripted->starts, 1);
        EXPECT_EQ(scripted->authorizationRequests, 0);
        scripted->fail(testCase.failure);
        EXPECT_EQ(codeOf(promise), testCase.code);
        EXPECT_FALSE(scripted->updating);
        EXPECT_FALSE(fresh.hasOngoingPromise());
    }
}

TEST_F(UserLocatorTest, ADebugLocationAnswersAtOnceUntilCleared) {
    const Location debug{Coordinate{40.7128, -74.006}, 65, Date(1'600'000'000)};
    locator.setDebugUserLocation(debug);
    EXPECT_EQ(locator.debugUserLocation(), debug);
    Promise<Location> promise = locator.getUserLocation();
    EXPECT_EQ(promise.value(), debug);
    EXPECT_EQ(manager->starts, 0);
    EXPECT_EQ(locator.mostRecentLocation(), std::nullopt);

    locator.setDebugUserLocation(std::nullopt);
    EXPECT_EQ(locator.debugUserLocation(), std::nullopt);
    Promise<Location> real = locator.getUserLocation();
    EXPECT_TRUE(real.isPending());
    EXPECT_EQ(manager->starts, 1);
}

TEST_F(UserLocatorTest, ARequestUnderWayWhenADebugLocationIsSetEndsWithTheRealFix) {
    Promise<Location> real = locator.getUserLocation();
    const Location debug{Coordinate{1, 2}, 5, Date(1'600'000'000)};
    locator.setDebugUserLocation(debug);
    EXPECT_EQ(locator.getUserLocation().value(), debug);
    manager->deliver(25);
    EXPECT_EQ(real.value(), ScriptedLocationManager::fix(25));
    EXPECT_EQ(locator.mostRecentLocation(), ScriptedLocationManager::fix(25));
}

TEST_F(UserLocatorTest, ThirtySecondsAfterUpdatesStartTheRequestSettlesWithTheBestValidFixOrFails) {
    struct Case {
        const char* name;
        std::vector<double> accuracies;
        std::optional<double> resolvedWith;
    };
    const Case cases[] = {
        {"coarse fixes: the most accurate", {900, 180, -1, 400}, 180},
        {"no fix at all", {}, std::nullopt},
        {"only invalid fixes", {-1, -20}, std::nullopt},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        auto scripted = std::make_shared<ScriptedLocationManager>();
        auto fakeTimers = std::make_shared<test::FakeTimerFactory>();
        UserLocator fresh(scripted, center, fakeTimers);
        Promise<Location> promise = fresh.getUserLocation();
        for (double accuracy : testCase.accuracies) scripted->deliver(accuracy);
        EXPECT_TRUE(promise.isPending());

        EXPECT_EQ(fakeTimers->fireTimersWithInterval(UserLocator::RequestTimeLimit), 1);
        if (testCase.resolvedWith)
            EXPECT_EQ(promise.value(), ScriptedLocationManager::fix(*testCase.resolvedWith));
        else
            EXPECT_EQ(codeOf(promise), UserLocatorErrorLocationFailure);
        EXPECT_FALSE(scripted->updating);
        // A fix that never passed the test is not the last accepted one.
        EXPECT_EQ(fresh.mostRecentLocation(), std::nullopt);

        // The next request starts over, with a bound of its own and no memory of the old fixes.
        Promise<Location> next = fresh.getUserLocation();
        EXPECT_EQ(scripted->starts, 2);
        EXPECT_EQ(fakeTimers->fireTimersWithInterval(UserLocator::RequestTimeLimit), 1);
        EXPECT_EQ(codeOf(next), UserLocatorErrorLocationFailure);
    }
}

TEST_F(UserLocatorTest, ASettledRequestCancelsItsBound) {
    Promise<Location> promise = locator.getUserLocation();
    manager->deliver(200);
    manager->deliver(60);
    EXPECT_EQ(promise.value(), ScriptedLocationManager::fix(60));
    EXPECT_FALSE(timers->hasTimerWithInterval(UserLocator::RequestTimeLimit));
}

TEST_F(UserLocatorTest, UnderAutomationThePermissionIsAskedForAfterATimerNotABlockedThread) {
    ScopedEnvironmentVariable automation(UserLocator::AutomationWaitVariable);
    manager->status = LocationAuthorizationStatus::NotDetermined;
    Promise<Location> promise = locator.getUserLocation();
    EXPECT_EQ(manager->authorizationRequests, 0);
    // Callers meanwhile join the same request and ask nothing more.
    EXPECT_EQ(locator.getUserLocation().isPending(), true);
    EXPECT_EQ(timers->fireTimersWithInterval(UserLocator::AutomationWait), 1);
    EXPECT_EQ(manager->authorizationRequests, 1);
    manager->answer(LocationAuthorizationStatus::AuthorizedWhenInUse);
    manager->deliver(5);
    EXPECT_EQ(promise.value(), ScriptedLocationManager::fix(5));
}

// Over this machine's location manager, with a permission already given unless the case says otherwise.
TEST(UserLocatorOverTheSystemManager, TheConfiguredSourceAnswersOrTheRequestFailsWithCode2) {
    struct Case {
        const char* name;
        QVariantMap info;
        std::optional<Location> expected;  // the timestamp is not compared
    };
    const Case cases[] = {
        {"a replayed file: its first fix is too coarse, the next one is taken",
         {{SystemLocationManager::NMEAReplayFileInfoKey, test::locationFixture("berlin-replay.nmea")}},
         Location{Coordinate{52.52, 13.405}, 12, Date()}},
        {"a fixed position",
         {{SystemLocationManager::FixedLocationInfoKey,
           QVariantMap{{"latitude", 48.8566}, {"longitude", 2.3522}}}},
         Location{Coordinate{48.8566, 2.3522}, 10, Date()}},
        {"no source", {}, std::nullopt},
        {"no window to ask for the permission in",
         {{SystemLocationManager::AuthorizationInfoKey, 0}},
         std::nullopt},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        test::TemporaryHome home;
        QVariantMap info = testCase.info;
        if (!info.contains(SystemLocationManager::AuthorizationInfoKey))
            info.insert(SystemLocationManager::AuthorizationInfoKey, 4);
        auto prompter = std::make_shared<test::ScriptedLocationPrompter>();
        prompter->answerAtOnce = std::optional<bool>();
        auto manager = std::make_shared<SystemLocationManager>(
            std::make_shared<UserDefaults>(home.path() + "/defaults.ini"), std::make_shared<Bundle>(info),
            prompter, [](QObject*) { return nullptr; });
        UserLocator locator(manager, std::make_shared<NotificationCenter>(),
                            std::make_shared<test::FakeTimerFactory>());
        Promise<Location> promise = locator.getUserLocation();
        ASSERT_TRUE(test::waitFor(promise));
        if (testCase.expected) {
            ASSERT_TRUE(promise.isFulfilled());
            EXPECT_NEAR(promise.value()->coordinate.latitude, testCase.expected->coordinate.latitude, 1e-9);
            EXPECT_NEAR(promise.value()->coordinate.longitude, testCase.expected->coordinate.longitude, 1e-9);
            EXPECT_DOUBLE_EQ(promise.value()->horizontalAccuracy, testCase.expected->horizontalAccuracy);
        } else {
            ASSERT_TRUE(promise.isRejected());
            EXPECT_EQ(*promise.error(), Error(UserLocatorErrorDomain, UserLocatorErrorLocationFailure));
        }
        EXPECT_FALSE(manager->isUpdatingLocation());
    }
}

}  // namespace
}  // namespace tovrin
