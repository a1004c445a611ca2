#include "Authentication/SessionGeneration.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace tovrin {
namespace {

// Whether the session changes between the call and the fulfilment decides the outcome.
TEST(SessionGeneration, WorkOfAnEarlierSessionFailsWith10OrDoesNothing) {
    struct Case {
        const char* name;
        bool advancedMeanwhile;
    };
    for (const Case& testCase : {Case{"same session", false}, Case{"another session", true}}) {
        SCOPED_TRACE(testCase.name);
        auto generation = std::make_shared<SessionGeneration>();
        const auto [url, resolver] = Promise<QUrl>::pending();
        const auto [done, doneResolver] = Promise<void>::pending();
        const Promise<QUrl> guarded = generation->guard(url);
        const Promise<void> guardedDone = generation->guard(done);
        int runs = 0;
        const Promise<void> worked = url.then(generation->whileCurrent([&runs](const QUrl&) { ++runs; }));
        if (testCase.advancedMeanwhile) generation->advance();

        resolver.fulfill(QUrl("https://api.tovrin.example"));
        doneResolver.fulfill();
        ASSERT_TRUE(test::waitFor(guarded) && test::waitFor(guardedDone) && test::waitFor(worked));

        EXPECT_EQ(runs, testCase.advancedMeanwhile ? 0 : 1);
        EXPECT_TRUE(worked.isFulfilled());
        for (const std::optional<Error>& error : {guarded.error(), guardedDone.error()}) {
            if (testCase.advancedMeanwhile) {
                EXPECT_EQ(error, tovrinServiceError(TovrinServiceErrorSessionRenewalFailed));
            } else {
                EXPECT_FALSE(error.has_value());
            }
        }
        if (!testCase.advancedMeanwhile) {
            EXPECT_EQ(guarded.value(), QUrl("https://api.tovrin.example"));
        }
    }
}

TEST(SessionGeneration, AStampIsCurrentUntilTheNextAdvance) {
    SessionGeneration generation;
    const SessionGeneration::Stamp stamp = generation.current();
    EXPECT_TRUE(generation.isCurrent(stamp));
    generation.advance();
    EXPECT_FALSE(generation.isCurrent(stamp));
    EXPECT_TRUE(generation.isCurrent(generation.current()));
}

}  // namespace
}  // namespace tovrin
