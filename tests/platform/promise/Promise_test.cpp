#include "platform/promise/Promise.h"

#include <gtest/gtest.h>

#include <QThread>
#include <atomic>
#include <thread>

#include "platform/foundation/MainQueue.h"
#include "support/TestSupport.h"

namespace tovrin {
namespace {

using test::runUntil;
using test::waitFor;

Error sampleError(qint64 code = 7) {
    return Error(QStringLiteral("TestDomain"), code);
}

TEST(Promise, ContinuationsRunLaterOnTheMainThreadInAttachOrder) {
    auto [promise, resolver] = Promise<int>::pending();
    std::vector<QString> calls;
    promise.then([&](int value) { calls.push_back(QStringLiteral("first %1").arg(value)); });
    resolver.fulfill(5);
    // Attached after settling: still later than the first, and never inside `then`.
    promise.then([&](int value) {
        EXPECT_TRUE(MainQueue::isMainThread());
        calls.push_back(QStringLiteral("second %1").arg(value));
    });
    EXPECT_TRUE(calls.empty());
    ASSERT_TRUE(runUntil([&] { return calls.size() == 2; }));
    EXPECT_EQ(calls, (std::vector<QString>{"first 5", "second 5"}));
}

TEST(Promise, AnAlreadySettledPromiseStillRunsItsContinuationLater) {
    auto promise = Promise<QString>::resolved(QStringLiteral("done"));
    bool ran = false;
    promise.then([&](const QString&) { ran = true; });
    EXPECT_FALSE(ran);
    test::drainMainQueue();
    EXPECT_TRUE(ran);
}

TEST(Promise, ResolvedFromAnotherThreadSettlesOnTheMainThread) {
    auto [promise, resolver] = Promise<int>::pending();
    std::thread worker([resolver = resolver] { resolver.fulfill(42); });
    std::optional<int> received;
    bool onMain = false;
    promise.then([&](int value) {
        received = value;
        onMain = MainQueue::isMainThread();
    });
    ASSERT_TRUE(runUntil([&] { return received.has_value(); }));
    worker.join();
    EXPECT_EQ(*received, 42);
    EXPECT_TRUE(onMain);
}

TEST(Promise, ManyThreadsRacingToSettleKeepOnlyTheFirstValue) {
    auto [promise, resolver] = Promise<int>::pending();
    std::vector<std::thread> workers;
    for (int i = 0; i < 8; ++i) workers.emplace_back([resolver = resolver, i] { resolver.fulfill(i); });
    for (auto& worker : workers) worker.join();
    ASSERT_TRUE(promise.isFulfilled());
    const int value = *promise.value();
    resolver.fulfill(100);
    resolver.reject(sampleError());
    EXPECT_EQ(*promise.value(), value);
}

TEST(Promise, AContinuationAttachedWhileAnotherThreadSettlesKeepsAttachOrder) {
    for (int round = 0; round < 50; ++round) {
        auto [promise, resolver] = Promise<int>::pending();
        std::vector<int> order;
        std::thread worker([resolver = resolver] { resolver.fulfill(1); });
        for (int i = 0; i < 20; ++i) promise.then([&order, i](int) { order.push_back(i); });
        worker.join();
        ASSERT_TRUE(runUntil([&] { return order.size() == 20; }));
        for (int i = 0; i < 20; ++i) ASSERT_EQ(order[i], i);
    }
}

TEST(Promise, ThenChainsValuesPromisesAndNothing) {
    auto [source, resolver] = Promise<int>::pending();
    Promise<QString> text = source.then([](int value) { return QString::number(value * 2); });
    Promise<int> length = text.then([](const QString& value) {
        auto [inner, innerResolver] = Promise<int>::pending();
        MainQueue::async([innerResolver = innerResolver, value] { innerResolver.fulfill(value.size()); });
        return inner;
    });
    Promise<void> done = length.then([](int) {});
    resolver.fulfill(21);
    ASSERT_TRUE(waitFor(done));
    EXPECT_EQ(*text.value(), "42");
    EXPECT_EQ(*length.value(), 2);
    EXPECT_TRUE(done.isFulfilled());
}

TEST(Promise, ErrorsPassByValueContinuationsToTheHandler) {
    auto [source, resolver] = Promise<int>::pending();
    bool valueBlockRan = false;
    std::optional<Error> caught;
    auto recovered = source
                         .then([&](int value) {
                             valueBlockRan = true;
                             return value;
                         })
                         .catchError([&](const Error& error) {
                             caught = error;
                             return -1;
                         });
    resolver.reject(sampleError(3));
    ASSERT_TRUE(waitFor(recovered));
    EXPECT_FALSE(valueBlockRan);
    EXPECT_EQ(caught->code(), 3);
    EXPECT_EQ(*recovered.value(), -1);
}

TEST(Promise, ACatchThatReturnsNothingPassesTheErrorOn) {
    auto observed = Promise<int>::rejected(sampleError(9)).catchError([](const Error&) {});
    ASSERT_TRUE(waitFor(observed));
    EXPECT_EQ(observed.error()->code(), 9);
}

TEST(Promise, ACatchCanRecoverWithAPromiseOrRejectAgain) {
    auto recovered = Promise<int>::rejected(sampleError(1)).catchError([](const Error&) {
        return Promise<int>::resolved(8);
    });
    auto replaced = Promise<int>::rejected(sampleError(1)).catchError([](const Error&) {
        return Promise<int>::rejected(sampleError(2));
    });
    ASSERT_TRUE(waitFor(recovered));
    ASSERT_TRUE(waitFor(replaced));
    EXPECT_EQ(*recovered.value(), 8);
    EXPECT_EQ(replaced.error()->code(), 2);
}

TEST(Promise, ACatchLetsValuesThrough) {
    bool handlerRan = false;
    auto passed = Promise<int>::resolved(4).catchError([&](const Error&) {
        handlerRan = true;
        return 0;
    });
    ASSERT_TRUE(waitFor(passed));
    EXPECT_FALSE(handlerRan);
    EXPECT_EQ(*passed.value(), 4);
}

TEST(Promise, FinallyRunsOnBothOutcomesAndKeepsThem) {
    int runs = 0;
    auto fulfilled = Promise<int>::resolved(1).finally([&] { ++runs; });
    auto rejected = Promise<int>::rejected(sampleError()).finally([&] { ++runs; });
    ASSERT_TRUE(waitFor(fulfilled));
    ASSERT_TRUE(waitFor(rejected));
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(*fulfilled.value(), 1);
    EXPECT_TRUE(rejected.isRejected());
}

TEST(Promise, ThenOnABackgroundQueueRunsOffTheMainThread) {
    auto queue = std::make_shared<OperationQueue>();
    std::atomic<bool> onMain{true};
    auto result = Promise<int>::resolved(3).thenOn(queue, [&](int value) {
        onMain = MainQueue::isMainThread();
        return value + 1;
    });
    bool continuationOnMain = false;
    auto after = result.then([&](int) { continuationOnMain = MainQueue::isMainThread(); });
    ASSERT_TRUE(waitFor(after));
    EXPECT_FALSE(onMain);
    EXPECT_TRUE(continuationOnMain);
    EXPECT_EQ(*result.value(), 4);
}

TEST(Promise, CancellingRunsNoContinuationAndCancelsWhatFollows) {
    auto [source, resolver] = Promise<int>::pending();
    bool ran = false;
    auto next = source.then([&](int) { ran = true; });
    auto caught = next.catchError([&](const Error&) { ran = true; });
    auto last = caught.finally([&] { ran = true; });
    source.cancel();
    resolver.fulfill(1);
    test::drainMainQueue();
    EXPECT_FALSE(ran);
    EXPECT_TRUE(source.isCancelled());
    EXPECT_TRUE(next.isCancelled());
    EXPECT_TRUE(last.isCancelled());
    // Attached after the cancel: never runs either.
    source.then([&](int) { ran = true; });
    test::drainMainQueue();
    EXPECT_FALSE(ran);
}

TEST(Promise, CancellingASettledPromiseChangesNothing) {
    auto promise = Promise<int>::resolved(2);
    promise.cancel();
    EXPECT_TRUE(promise.isFulfilled());
    EXPECT_EQ(*promise.value(), 2);
}

TEST(Promise, AnInnerPromiseCancelledCancelsTheOuterOne) {
    auto [inner, innerResolver] = Promise<int>::pending();
    auto outer = Promise<int>::resolved(1).then([inner = inner](int) { return inner; });
    test::drainMainQueue();
    inner.cancel();
    EXPECT_TRUE(outer.isCancelled());
}

TEST(Promise, StateTests) {
    auto [pending, resolver] = Promise<int>::pending();
    EXPECT_TRUE(pending.isPending());
    EXPECT_FALSE(pending.value().has_value());
    resolver.reject(sampleError(5));
    EXPECT_TRUE(pending.isRejected());
    EXPECT_EQ(pending.error()->code(), 5);
    EXPECT_FALSE(pending.value().has_value());
    EXPECT_TRUE(Promise<int>().isNull());
}

TEST(Promise, BodyConstructorHandsOverTheResolver) {
    Promise<QString> promise([](Resolver<QString> resolver) { resolver.fulfill(QStringLiteral("made")); });
    EXPECT_EQ(*promise.value(), "made");
}

TEST(Promise, ADeferredSettlesThePromiseItHandsOut) {
    auto deferred = Deferred<int>::make();
    EXPECT_TRUE(deferred.promise.isPending());
    deferred.resolver.fulfill(4);
    deferred.resolver.reject(sampleError(1));
    EXPECT_EQ(deferred.promise.value(), 4);
}

// An object that owner-bound continuations report to.
struct Owner {
    QStringList seen;
};

TEST(PromiseOwner, ContinuationsRunWithTheOwnerWhileItLivesForEveryReturnKind) {
    auto owner = std::make_shared<Owner>();
    const std::weak_ptr<Owner> weak = owner;
    auto [source, resolver] = Promise<int>::pending();
    Promise<void> nothing =
        source.then(weak, [](Owner& self, int value) { self.seen << QString::number(value); });
    Promise<QString> text = source.then(weak, [](Owner&, int value) { return QString::number(value * 2); });
    Promise<int> inner =
        source.then(weak, [](Owner&, int value) { return Promise<int>::resolved(value + 1); });
    Promise<void> fromVoid = Promise<void>::resolved().then(weak, [](Owner& self) { self.seen << "void"; });
    Promise<int> recovered =
        Promise<int>::rejected(sampleError(4)).catchError(weak, [](Owner& self, const Error& error) {
            self.seen << QStringLiteral("caught %1").arg(error.code());
            return -1;
        });
    Promise<int> finished = source.finally(weak, [](Owner& self) { self.seen << "finally"; });
    resolver.fulfill(21);
    ASSERT_TRUE(waitFor(finished));
    ASSERT_TRUE(waitFor(inner));
    EXPECT_TRUE(nothing.isFulfilled());
    EXPECT_EQ(*text.value(), "42");
    EXPECT_EQ(*inner.value(), 22);
    EXPECT_TRUE(fromVoid.isFulfilled());
    EXPECT_EQ(*recovered.value(), -1);
    EXPECT_EQ(*finished.value(), 21);
    EXPECT_EQ(owner->seen, (QStringList{"void", "caught 4", "21", "finally"}));
}

TEST(PromiseOwner, WithTheOwnerGoneNothingRunsAndTheReturnedPromiseIsCancelled) {
    auto owner = std::make_shared<Owner>();
    const std::weak_ptr<Owner> weak = owner;
    auto [fulfilled, fulfil] = Promise<int>::pending();
    auto [rejected, reject] = Promise<int>::pending();
    bool ran = false;
    auto continued = fulfilled.then(weak, [&](Owner&, int) { ran = true; });
    auto caught = rejected.catchError(weak, [&](Owner&, const Error&) { ran = true; });
    auto finished = fulfilled.finally(weak, [&](Owner&) { ran = true; });
    bool after = false;
    auto following = continued.then([&] { after = true; });
    // The pending continuations do not keep the owner.
    owner.reset();
    EXPECT_TRUE(weak.expired());
    fulfil.fulfill(1);
    reject.reject(sampleError());
    test::drainMainQueue();
    EXPECT_FALSE(ran);
    EXPECT_FALSE(after);
    EXPECT_TRUE(continued.isCancelled());
    EXPECT_TRUE(caught.isCancelled());
    EXPECT_TRUE(finished.isCancelled());
    EXPECT_TRUE(following.isCancelled());
}

TEST(PromiseOwner, RejectionsValuesAndCancellationPassThrough) {
    auto owner = std::make_shared<Owner>();
    std::weak_ptr<Owner> weak = owner;
    bool ran = false;
    auto rejected = Promise<int>::rejected(sampleError(6)).then(weak, [&](Owner&, int) { ran = true; });
    auto passed = Promise<int>::resolved(3).catchError(weak, [&](Owner&, const Error&) {
        ran = true;
        return 0;
    });
    auto rejectedFinally =
        Promise<int>::rejected(sampleError(8)).finally(weak, [](Owner& self) { self.seen << "finally"; });
    auto [source, resolver] = Promise<int>::pending();
    auto cancelled = source.then(weak, [&](Owner&, int) { ran = true; });
    source.cancel();
    ASSERT_TRUE(waitFor(rejected));
    ASSERT_TRUE(waitFor(passed));
    ASSERT_TRUE(waitFor(rejectedFinally));
    EXPECT_FALSE(ran);
    EXPECT_EQ(rejected.error()->code(), 6);
    EXPECT_EQ(*passed.value(), 3);
    EXPECT_EQ(rejectedFinally.error()->code(), 8);
    EXPECT_EQ(owner->seen, QStringList{"finally"});
    EXPECT_TRUE(cancelled.isCancelled());

    // A rejection passes on whatever became of the owner.
    owner.reset();
    auto stillRejected = Promise<int>::rejected(sampleError(2)).then(weak, [&](Owner&, int) { ran = true; });
    ASSERT_TRUE(waitFor(stillRejected));
    EXPECT_EQ(stillRejected.error()->code(), 2);
    EXPECT_FALSE(ran);
}

TEST(PromiseOwner, OwnerBoundAndPlainContinuationsRunInAttachOrder) {
    auto owner = std::make_shared<Owner>();
    std::weak_ptr<Owner> weak = owner;
    auto [source, resolver] = Promise<int>::pending();
    QStringList order;
    source.then([&](int) { order << "plain 1"; });
    source.then(weak, [&](Owner&, int) { order << "owned 2"; });
    source.then([&](int) { order << "plain 3"; });
    source.finally(weak, [&](Owner&) { order << "owned 4"; });
    resolver.fulfill(1);
    source.then(weak, [&](Owner&, int) { order << "owned 5"; });
    source.then([&](int) { order << "plain 6"; });
    ASSERT_TRUE(runUntil([&] { return order.size() == 6; }));
    EXPECT_EQ(order, (QStringList{"plain 1", "owned 2", "plain 3", "owned 4", "owned 5", "plain 6"}));
}

TEST(PromiseJoin, FulfilsWithAllValuesInOrder) {
    auto [first, firstResolver] = Promise<int>::pending();
    auto [second, secondResolver] = Promise<int>::pending();
    auto [third, thirdResolver] = Promise<int>::pending();
    auto joined = when(std::vector<Promise<int>>{first, second, third});
    thirdResolver.fulfill(3);
    firstResolver.fulfill(1);
    EXPECT_TRUE(joined.isPending());
    secondResolver.fulfill(2);
    ASSERT_TRUE(waitFor(joined));
    EXPECT_EQ(*joined.value(), (std::vector<int>{1, 2, 3}));
}

TEST(PromiseJoin, RejectsWithTheFirstError) {
    auto [first, firstResolver] = Promise<int>::pending();
    auto [second, secondResolver] = Promise<int>::pending();
    auto joined = when(std::vector<Promise<int>>{first, second});
    secondResolver.reject(sampleError(2));
    firstResolver.reject(sampleError(1));
    ASSERT_TRUE(waitFor(joined));
    EXPECT_EQ(joined.error()->code(), 2);
}

TEST(PromiseJoin, EmptyAndVoidAndMixedJoins) {
    auto empty = when(std::vector<Promise<int>>{});
    EXPECT_TRUE(empty.isFulfilled());
    EXPECT_TRUE(empty.value()->empty());

    auto voids = when(std::vector<Promise<void>>{Promise<void>::resolved(), Promise<void>::resolved()});
    EXPECT_TRUE(voids.isFulfilled());

    auto mixed = when(Promise<int>::resolved(1), Promise<QString>::resolved(QStringLiteral("two")));
    ASSERT_TRUE(mixed.isFulfilled());
    EXPECT_EQ(std::get<0>(*mixed.value()), 1);
    EXPECT_EQ(std::get<1>(*mixed.value()), "two");
}

TEST(PromiseJoin, ACancelledMemberCancelsTheJoin) {
    auto [first, firstResolver] = Promise<int>::pending();
    auto joined = when(std::vector<Promise<int>>{first, Promise<int>::resolved(2)});
    first.cancel();
    EXPECT_TRUE(joined.isCancelled());
}

TEST(PromiseDeathTest, ANullPromiseStopsTheProcessWhenUsed) {
    EXPECT_DEATH(Promise<int>().then([](int) {}), "A null promise has no state");
}

}  // namespace
}  // namespace tovrin
