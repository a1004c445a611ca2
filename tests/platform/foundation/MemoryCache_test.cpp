#include "platform/foundation/MemoryCache.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace tovrin {
namespace {

TEST(MemoryCache, KeepsValuesUntilTheirCostsPassTheLimitThenDropsTheLeastRecentlyUsed) {
    MemoryCache<QString> cache;
    cache.setTotalCostLimit(10);
    cache.setObject("A", "a", 4);
    cache.setObject("B", "b", 4);
    EXPECT_EQ(cache.objectForKey("a"), "A");  // now used after "b"
    cache.setObject("C", "c", 4);

    EXPECT_EQ(cache.objectForKey("a"), "A");
    EXPECT_FALSE(cache.objectForKey("b").has_value());
    EXPECT_EQ(cache.objectForKey("c"), "C");
    EXPECT_EQ(cache.totalCost(), 8);
}

TEST(MemoryCache, AValueCostlierThanTheLimitIsNotKept) {
    MemoryCache<int> cache;
    cache.setTotalCostLimit(10);
    cache.setObject(1, "small", 2);
    cache.setObject(2, "huge", 11);
    EXPECT_FALSE(cache.objectForKey("huge").has_value());
    EXPECT_EQ(cache.objectForKey("small"), 1);
}

TEST(MemoryCache, ReplacingAndRemovingAValueAdjustTheTotal) {
    MemoryCache<int> cache;
    EXPECT_EQ(cache.totalCostLimit(), 0);  // no limit
    cache.setObject(1, "a", 1'000'000'000);
    cache.setObject(2, "a", 3);
    cache.setObject(3, "b", 4);
    EXPECT_EQ(cache.objectForKey("a"), 2);
    EXPECT_EQ(cache.totalCost(), 7);
    cache.removeObjectForKey("a");
    EXPECT_EQ(cache.totalCost(), 4);
    cache.removeAllObjects();
    EXPECT_FALSE(cache.objectForKey("b").has_value());
}

TEST(MemoryCache, ManyThreadsMayUseItAtOnce) {
    MemoryCache<int> cache;
    cache.setTotalCostLimit(100);
    std::vector<std::thread> threads;
    for (int thread = 0; thread < 4; ++thread) {
        threads.emplace_back([&cache, thread] {
            for (int index = 0; index < 1000; ++index) {
                const QString key = QString::number(index % 50);
                cache.setObject(index, key, 1 + thread);
                cache.objectForKey(key);
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_LE(cache.totalCost(), 100);
}

}  // namespace
}  // namespace tovrin
