#include "platform/system/SystemLocationManager.h"

#include <gtest/gtest.h>

#include "fixtures/location/LocationTestDoubles.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/UserDefaults.h"
#include "support/TestSupport.h"

namespace tovrin {
namespace {

using Status = LocationAuthorizationStatus;

class SystemLocationManagerTest : public testing::Test {
protected:
    test::TemporaryHome home;
    std::shared_ptr<UserDefaults> defaults = std::make_shared<UserDefaults>(home.path() + "/defaults.ini");
    std::shared_ptr<test::ScriptedLocationPrompter> prompter =
        std::make_shared<test::ScriptedLocationPrompter>();
    std::shared_ptr<test::RecordingLocationDelegate> delegate =
        std::make_shared<test::RecordingLocationDelegate>();

    // This machine's own positioning is never asked: a test has no source unless it names one.
    std::shared_ptr<SystemLocationManager> makeManager(const QVariantMap& info) {
        auto manager = std::make_shared<SystemLocationManager>(defaults, std::make_shared<Bundle>(info),
                                                               prompter, [](QObject*) { return nullptr; });
        manager->setDelegate(delegate);
        return manager;
    }
    static QVariantMap allowed(QVariantMap info = {}) {
        info.insert(SystemLocationManager::AuthorizationInfoKey, 4);
        return info;
    }
};

TEST_F(SystemLocationManagerTest, TheStatusIsTheStoredAnswerElseThePresetElseUndetermined) {
    struct Case {
        const char* name;
        QVariant stored;
        QVariant preset;
        Status status;
    };
    const Case cases[] = {
        {"nothing", {}, {}, Status::NotDetermined},
        {"preset allowed", {}, 4, Status::AuthorizedWhenInUse},
        {"preset restricted", {}, 1, Status::Restricted},
        {"preset as text", {}, "2", Status::Denied},
        {"preset not a status", {}, 3, Status::NotDetermined},
        {"stored answer wins over the preset", 2, 4, Status::Denied},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        defaults->setObject(testCase.stored, SystemLocationManager::AuthorizationStatusDefaultsKey);
        QVariantMap info;
        if (testCase.preset.isValid())
            info.insert(SystemLocationManager::AuthorizationInfoKey, testCase.preset);
        EXPECT_EQ(makeManager(info)->authorizationStatus(), testCase.status);
    }
}

TEST_F(SystemLocationManagerTest, TheMembersAnswerIsStoredAndToldLater) {
    struct Case {
        const char* name;
        std::optional<bool> answer;
        Status status;
    };
    const Case cases[] = {
        {"allowed", true, Status::AuthorizedWhenInUse},
        {"refused", false, Status::Denied},
        {"no window to ask in", std::nullopt, Status::NotDetermined},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        defaults->removeObjectForKey(SystemLocationManager::AuthorizationStatusDefaultsKey);
        *delegate = test::RecordingLocationDelegate();
        prompter->questions = 0;
        auto manager = makeManager({});
        manager->requestWhenInUseAuthorization();
        manager->requestWhenInUseAuthorization();  // one question at a time
        EXPECT_EQ(prompter->questions, 1);
        prompter->pending(testCase.answer);
        EXPECT_TRUE(delegate->heardNothing());

        test::drainMainQueue();
        EXPECT_EQ(manager->authorizationStatus(), testCase.status);
        // Another manager (the next launch) reads the same answer and is not asked again.
        auto next = makeManager({});
        EXPECT_EQ(next->authorizationStatus(), testCase.status);
        if (testCase.answer) {
            EXPECT_EQ(delegate->statuses, std::vector<Status>{testCase.status});
            next->requestWhenInUseAuthorization();
            EXPECT_EQ(prompter->questions, 1);
        } else {
            EXPECT_TRUE(delegate->statuses.empty());
            EXPECT_EQ(delegate->failures,
                      std::vector<Error>{Error(LocationErrorDomain, LocationErrorLocationUnknown)});
        }
    }
}

TEST_F(SystemLocationManagerTest, UpdatesStartedBeforeTheAnswerBeginOnceAllowed) {
    auto manager = makeManager({{SystemLocationManager::FixedLocationInfoKey,
                                 QVariantMap{{"latitude", 52.52}, {"longitude", 13.405}}}});
    manager->startUpdatingLocation();
    manager->requestWhenInUseAuthorization();
    test::drainMainQueue();
    EXPECT_TRUE(delegate->locations.empty());
    prompter->pending(true);
    ASSERT_TRUE(test::runUntil([&] { return !delegate->locations.empty(); }));
    EXPECT_EQ(delegate->locations[0].coordinate, (Coordinate{52.52, 13.405}));
}

TEST_F(SystemLocationManagerTest, StartingWithoutPermissionOrWithoutASourceFailsLater) {
    struct Case {
        const char* name;
        QVariantMap info;
        qint64 code;
    };
    const Case cases[] = {
        {"denied", {{SystemLocationManager::AuthorizationInfoKey, 2}}, LocationErrorDenied},
        {"restricted", {{SystemLocationManager::AuthorizationInfoKey, 1}}, LocationErrorDenied},
        {"no source", allowed(), LocationErrorLocationUnknown},
        {"a fixed position off the map",
         allowed({{SystemLocationManager::FixedLocationInfoKey,
                   QVariantMap{{"latitude", 95}, {"longitude", 0}}}}),
         LocationErrorLocationUnknown},
        {"a fixed position without longitude",
         allowed({{SystemLocationManager::FixedLocationInfoKey, QVariantMap{{"latitude", 5}}}}),
         LocationErrorLocationUnknown},
        {"a replay file that is not there",
         allowed({{SystemLocationManager::NMEAReplayFileInfoKey, test::locationFixture("missing.nmea")}}),
         LocationErrorLocationUnknown},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        *delegate = test::RecordingLocationDelegate();
        auto manager = makeManager(testCase.info);
        manager->startUpdatingLocation();
        EXPECT_TRUE(delegate->heardNothing());
        test::drainMainQueue();
        ASSERT_EQ(delegate->failures.size(), 1u);
        EXPECT_EQ(delegate->failures[0], Error(LocationErrorDomain, testCase.code));
        EXPECT_TRUE(delegate->locations.empty());
    }
}

TEST_F(SystemLocationManagerTest, AFixedPositionIsDeliveredAtEachStartWithItsAccuracy) {
    struct Case {
        const char* name;
        QVariantMap entry;
        Coordinate coordinate;
        double accuracy;
    };
    const Case cases[] = {
        {"default accuracy", {{"latitude", 52.52}, {"longitude", 13.405}}, {52.52, 13.405}, 10},
        {"its own accuracy",
         {{"latitude", -33.9}, {"longitude", 151.2}, {"accuracy", 350}},
         {-33.9, 151.2},
         350},
        {"numbers as text", {{"latitude", "1.5"}, {"longitude", "-2.25"}}, {1.5, -2.25}, 10},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        *delegate = test::RecordingLocationDelegate();
        auto manager = makeManager(allowed({{SystemLocationManager::FixedLocationInfoKey, testCase.entry}}));
        const Date before = Date::now();
        manager->startUpdatingLocation();
        EXPECT_TRUE(delegate->heardNothing());
        test::drainMainQueue();
        ASSERT_EQ(delegate->locations.size(), 1u);
        EXPECT_EQ(delegate->locations[0].coordinate, testCase.coordinate);
        EXPECT_EQ(delegate->locations[0].horizontalAccuracy, testCase.accuracy);
        EXPECT_GE(delegate->locations[0].timestamp, before);

        manager->stopUpdatingLocation();
        manager->startUpdatingLocation();
        test::drainMainQueue();
        EXPECT_EQ(delegate->locations.size(), 2u);
    }
}

TEST_F(SystemLocationManagerTest, StoppedUpdatesDeliverNothingMore) {
    auto manager = makeManager(allowed({{SystemLocationManager::FixedLocationInfoKey,
                                         QVariantMap{{"latitude", 52.52}, {"longitude", 13.405}}}}));
    manager->startUpdatingLocation();
    manager->stopUpdatingLocation();
    test::drainMainQueue();
    EXPECT_TRUE(delegate->heardNothing());
    EXPECT_FALSE(manager->isUpdatingLocation());
}

TEST_F(SystemLocationManagerTest, AReplayedNMEAFileGivesFixesWithAnAccuracy) {
    auto manager = makeManager(allowed(
        {{SystemLocationManager::NMEAReplayFileInfoKey, test::locationFixture("berlin-replay.nmea")}}));
    manager->startUpdatingLocation();
    ASSERT_TRUE(test::runUntil([&] { return delegate->locations.size() >= 2; }));
    EXPECT_TRUE(delegate->failures.empty());
    const Location& coarse = delegate->locations[0];
    const Location& fine = delegate->locations[1];
    EXPECT_NEAR(coarse.coordinate.latitude, 52.52, 1e-9);
    EXPECT_NEAR(coarse.coordinate.longitude, 13.405, 1e-9);
    // Twice the dilution times the range error: a fix of 40 reads as 400 m, one of 1.2 as 12 m.
    EXPECT_DOUBLE_EQ(coarse.horizontalAccuracy, 400);
    EXPECT_DOUBLE_EQ(fine.horizontalAccuracy, 12);
    // The replay keeps the file's time of day, to the quarter second.
    EXPECT_NEAR(fine.timestamp.timeIntervalSinceDate(coarse.timestamp), 0.25, 1e-6);
    manager->stopUpdatingLocation();
}

}  // namespace
}  // namespace tovrin
