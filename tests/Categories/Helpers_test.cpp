#include <gtest/gtest.h>

#include <QJsonObject>

#include "Categories/Collection+NilTolerance.h"
#include "Categories/Data+Hexadecimal.h"
#include "Categories/Promise+InProgress.h"
#include "support/TestSupport.h"

namespace tovrin {
namespace {

TEST(ObjectOrNilForKey, ReadsJSONNullAndMissingKeysAsNothing) {
    const QJsonObject object{{"null", QJsonValue::Null}, {"zero", 0}, {"empty", ""}, {"text", "a"}};
    EXPECT_FALSE(objectOrNilForKey(object, "missing").has_value());
    EXPECT_FALSE(objectOrNilForKey(object, "null").has_value());
    EXPECT_EQ(objectOrNilForKey(object, "zero"), QJsonValue(0));
    EXPECT_EQ(objectOrNilForKey(object, "empty"), QJsonValue(""));
    EXPECT_EQ(objectOrNilForKey(object, "text"), QJsonValue("a"));

    const QVariantMap map = object.toVariantMap();
    EXPECT_FALSE(objectOrNilForKey(map, "missing").isValid());
    EXPECT_FALSE(objectOrNilForKey(map, "null").isValid());
    EXPECT_EQ(objectOrNilForKey(map, "zero").toInt(), 0);
    EXPECT_TRUE(objectOrNilForKey(map, "zero").isValid());
}

TEST(AddObjectIfNotNil, SkipsNothing) {
    std::vector<std::shared_ptr<int>> pointers;
    addObjectIfNotNil(pointers, std::make_shared<int>(1));
    addObjectIfNotNil(pointers, std::shared_ptr<int>());
    EXPECT_EQ(pointers.size(), 1u);
    std::vector<QString> texts;
    addObjectIfNotNil(texts, std::optional<QString>("a"));
    addObjectIfNotNil(texts, std::optional<QString>());
    EXPECT_EQ(texts, (std::vector<QString>{"a"}));
}

TEST(HexadecimalString, TwoLowerCaseDigitsPerByte) {
    EXPECT_EQ(hexadecimalString(QByteArray::fromHex("00ab0f")), "00ab0f");
    EXPECT_EQ(hexadecimalString(QByteArray("\x0a", 1)), "0a");
    EXPECT_EQ(hexadecimalString(QByteArray()), "");
}

TEST(PromiseInProgress, StateTestsAsATable) {
    auto [pending, pendingResolver] = Promise<int>::pending();
    auto [cancelled, cancelledResolver] = Promise<int>::pending();
    cancelled.cancel();
    struct Case {
        const char* name;
        Promise<int> promise;
        bool finished;
        bool ongoing;
        bool ongoingOrFullfilled;
    };
    const std::vector<Case> cases = {
        {"pending", pending, false, true, true},
        {"fulfilled", Promise<int>::resolved(1), true, false, true},
        {"rejected", Promise<int>::rejected(Error("D", 1)), true, false, false},
        {"cancelled", cancelled, true, false, false},
        {"none", Promise<int>(), false, false, false},
    };
    for (const auto& testCase : cases) {
        EXPECT_EQ(finished(testCase.promise), testCase.finished) << testCase.name;
        EXPECT_EQ(ongoing(testCase.promise), testCase.ongoing) << testCase.name;
        EXPECT_EQ(ongoingOrFullfilled(testCase.promise), testCase.ongoingOrFullfilled) << testCase.name;
    }
}

TEST(PromiseInProgress, PerformWhenFinishedRunsOnceForEitherOutcomeAndNeverWhenCancelled) {
    int runs = 0;
    auto [fulfilled, fulfilledResolver] = Promise<int>::pending();
    auto [rejected, rejectedResolver] = Promise<void>::pending();
    auto [cancelled, cancelledResolver] = Promise<int>::pending();
    performWhenFinished(fulfilled, [&] { ++runs; });
    performWhenFinished(rejected, [&] { ++runs; });
    performWhenFinished(cancelled, [&] { runs += 100; });
    fulfilledResolver.fulfill(1);
    rejectedResolver.reject(Error("D", 2));
    cancelled.cancel();
    EXPECT_EQ(runs, 0);
    ASSERT_TRUE(test::runUntil([&] { return runs == 2; }));
    test::drainMainQueue();
    EXPECT_EQ(runs, 2);
}

}  // namespace
}  // namespace tovrin
