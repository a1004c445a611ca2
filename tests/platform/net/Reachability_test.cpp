#include "platform/net/Reachability.h"

#include <gtest/gtest.h>

#include "fixtures/net/FakeReachability.h"
#include "platform/foundation/NotificationCenter.h"

namespace tovrin::net {
namespace {

TEST(Reachability, AStartedMonitorPostsEachChangeOnce) {
    auto center = std::make_shared<NotificationCenter>();
    test::FakeReachability reachability(NetworkStatus::ReachableViaWiFi, "chat.example", center);
    std::vector<const void*> senders;
    auto token = center->addObserver(
        ReachabilityChangedNotification, nullptr,
        [&](const Notification& notification) { senders.push_back(notification.object); });

    reachability.setStatus(NetworkStatus::NotReachable);  // not started yet
    EXPECT_TRUE(senders.empty());

    ASSERT_TRUE(reachability.startNotifier());
    reachability.setStatus(NetworkStatus::NotReachable);  // no change
    reachability.setStatus(NetworkStatus::ReachableViaWWAN);
    reachability.setStatus(NetworkStatus::ReachableViaWWAN);
    EXPECT_EQ(senders, std::vector<const void*>{&reachability});
    EXPECT_TRUE(reachability.isReachable());

    reachability.stopNotifier();
    reachability.setStatus(NetworkStatus::NotReachable);
    EXPECT_EQ(senders.size(), 1u);
    EXPECT_FALSE(reachability.isReachable());
}

TEST(Reachability, TheSystemMonitorTakesLoopbackHostsAsReachable) {
    for (const QString host : {"127.0.0.1", "localhost", "::1"}) {
        auto reachability = Reachability::reachabilityWithHostName(host);
        EXPECT_EQ(reachability->hostName(), host);
        EXPECT_NE(reachability->currentReachabilityStatus(), NetworkStatus::NotReachable)
            << host.toStdString();
        EXPECT_TRUE(reachability->startNotifier());
        EXPECT_TRUE(reachability->isNotifying());
        reachability->stopNotifier();
        EXPECT_FALSE(reachability->isNotifying());
    }
}

}  // namespace
}  // namespace tovrin::net
