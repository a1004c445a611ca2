#include "platform/foundation/NotificationCenter.h"

#include <gtest/gtest.h>

namespace tovrin {
namespace {

const QString Name = QStringLiteral("SomethingHappenedNotification");
const QString OtherName = QStringLiteral("SomethingElseNotification");

TEST(NotificationCenter, DeliversSynchronouslyWithObjectAndUserInfo) {
    NotificationCenter center;
    int sender = 0;
    std::optional<Notification> received;
    auto token =
        center.addObserver(Name, nullptr, [&](const Notification& notification) { received = notification; });
    center.post(Name, &sender, {{"key", 3}});
    ASSERT_TRUE(received.has_value());
    EXPECT_EQ(received->name, Name);
    EXPECT_EQ(received->object, &sender);
    EXPECT_EQ(received->userInfo.value("key").toInt(), 3);
}

TEST(NotificationCenter, FiltersByNameAndSender) {
    NotificationCenter center;
    int first = 0;
    int second = 0;
    struct Case {
        QString observedName;
        const void* observedSender;
        int expected;
    };
    // Posted: Name from first, Name from second, OtherName from first.
    const std::vector<Case> cases = {
        {Name, nullptr, 2},       // one name, any sender
        {Name, &first, 1},        // one name, one sender
        {QString(), &first, 2},   // any name, one sender
        {QString(), nullptr, 3},  // everything
        {OtherName, &second, 0},
    };
    for (const auto& testCase : cases) {
        int count = 0;
        auto token = center.addObserver(testCase.observedName, testCase.observedSender,
                                        [&](const Notification&) { ++count; });
        center.post(Name, &first);
        center.post(Name, &second);
        center.post(OtherName, &first);
        EXPECT_EQ(count, testCase.expected) << testCase.observedName.toStdString();
    }
}

TEST(NotificationCenter, TheTokenEndsTheObservation) {
    NotificationCenter center;
    int count = 0;
    {
        auto token = center.addObserver(Name, nullptr, [&](const Notification&) { ++count; });
        center.post(Name);
        NotificationToken moved = std::move(token);
        EXPECT_FALSE(token.isActive());
        center.post(Name);
        moved.reset();
        center.post(Name);
    }
    auto kept = center.addObserver(Name, nullptr, [&](const Notification&) { ++count; });
    center.post(Name);
    EXPECT_EQ(count, 3);
}

TEST(NotificationCenter, AnObserverRemovedDuringADeliveryIsNotCalledAfterwards) {
    NotificationCenter center;
    NotificationToken second;
    int secondCalls = 0;
    int addedCalls = 0;
    NotificationToken added;
    auto first = center.addObserver(Name, nullptr, [&](const Notification&) {
        second.reset();
        added = center.addObserver(Name, nullptr, [&](const Notification&) { ++addedCalls; });
    });
    second = center.addObserver(Name, nullptr, [&](const Notification&) { ++secondCalls; });
    center.post(Name);
    EXPECT_EQ(secondCalls, 0);
    // Added during the delivery: it sees the next notification, not the current one.
    EXPECT_EQ(addedCalls, 0);
}

TEST(NotificationCenter, ATokenMayOutliveItsCenter) {
    NotificationToken token;
    {
        auto center = std::make_shared<NotificationCenter>();
        token = center->addObserver(Name, nullptr, [](const Notification&) {});
    }
    token.reset();
    EXPECT_FALSE(token.isActive());
}

}  // namespace
}  // namespace tovrin
