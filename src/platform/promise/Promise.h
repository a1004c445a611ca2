#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <tuple>
#include <type_traits>
#include <vector>

#include "platform/foundation/Error.h"
#include "platform/foundation/OperationQueue.h"

namespace tovrin {

template <class T>
class Promise;
template <class T>
class Resolver;

namespace promise_detail {

struct Access;

enum class State { Pending, Fulfilled, Rejected, Cancelled };

struct Empty {};

template <class T>
using Stored = std::conditional_t<std::is_void_v<T>, Empty, T>;

template <class R>
struct PromiseFor {
    using type = Promise<R>;
};
template <class U>
struct PromiseFor<Promise<U>> {
    using type = Promise<U>;
};

template <class R>
inline constexpr bool isPromise = false;
template <class U>
inline constexpr bool isPromise<Promise<U>> = true;

template <class T, class F>
struct ValueCall {
    using type = std::invoke_result_t<F&, const T&>;
};
template <class F>
struct ValueCall<void, F> {
    using type = std::invoke_result_t<F&>;
};

template <class O, class T, class F>
struct OwnedValueCall {
    using type = std::invoke_result_t<F&, O&, const T&>;
};
template <class O, class F>
struct OwnedValueCall<O, void, F> {
    using type = std::invoke_result_t<F&, O&>;
};

// The shared state of one promise: settled once, under its own lock.
template <class T>
class Core : public std::enable_shared_from_this<Core<T>> {
public:
    struct Continuation {
        // Null runs on the main queue; `inlineRun` runs on the settling thread (internal piping).
        std::shared_ptr<OperationQueue> queue;
        bool inlineRun = false;
        std::function<void(const std::shared_ptr<Core>&)> run;
        std::function<void()> cancelled;
    };

    void settle(State state, Stored<T>* value, const Error* error) {
        std::vector<Continuation> inlineContinuations;
        {
            std::lock_guard lock(mutex_);
            if (state_ != State::Pending) return;
            if (value) value_.emplace(std::move(*value));
            if (error) error_ = *error;
            state_ = state;
            // Dispatched under the lock so that a continuation attached right after settling
            // never overtakes one attached before.
            for (auto& continuation : continuations_) {
                if (continuation.inlineRun) {
                    inlineContinuations.push_back(std::move(continuation));
                } else {
                    dispatch(std::move(continuation));
                }
            }
            continuations_.clear();
        }
        for (auto& continuation : inlineContinuations) continuation.run(this->shared_from_this());
    }

    void cancel() {
        std::vector<Continuation> cancelledContinuations;
        {
            std::lock_guard lock(mutex_);
            if (state_ != State::Pending) return;
            state_ = State::Cancelled;
            cancelledContinuations.swap(continuations_);
        }
        for (auto& continuation : cancelledContinuations) {
            if (continuation.cancelled) continuation.cancelled();
        }
    }

    void attach(Continuation continuation) {
        bool runInline = false;
        bool wasCancelled = false;
        {
            std::lock_guard lock(mutex_);
            switch (state_) {
                case State::Pending:
                    continuations_.push_back(std::move(continuation));
                    return;
                case State::Cancelled:
                    wasCancelled = true;
                    break;
                default:
                    if (continuation.inlineRun) {
                        runInline = true;
                    } else {
                        dispatch(std::move(continuation));
                    }
            }
        }
        if (runInline) continuation.run(this->shared_from_this());
        if (wasCancelled && continuation.cancelled) continuation.cancelled();
    }

    State state() const {
        std::lock_guard lock(mutex_);
        return state_;
    }
    // Read only once settled; a settled promise never changes again.
    const Stored<T>& value() const { return *value_; }
    const Error& error() const { return *error_; }

private:
    void dispatch(Continuation continuation) {
        Block block = [run = std::move(continuation.run), self = this->shared_from_this()] { run(self); };
        if (continuation.queue) {
            continuation.queue->addOperation(std::move(block));
        } else {
            MainQueue::async(std::move(block));
        }
    }

    mutable std::mutex mutex_;
    State state_ = State::Pending;
    std::optional<Stored<T>> value_;
    std::optional<Error> error_;
    std::vector<Continuation> continuations_;
};

}  // namespace promise_detail

// Settles the promise it was made with. Copies share the promise; the first call wins and later
// calls do nothing. Callable from any thread.
template <class T>
class Resolver {
public:
    template <class U = T>
    requires(!std::is_void_v<U>) void fulfill(U value) const {
        promise_detail::Stored<T> stored(std::move(value));
        core_->settle(promise_detail::State::Fulfilled, &stored, nullptr);
    }
    template <class U = T>
    requires std::is_void_v<U>
    void fulfill() const {
        promise_detail::Stored<T> stored;
        core_->settle(promise_detail::State::Fulfilled, &stored, nullptr);
    }
    void reject(const Error& error) const { core_->settle(promise_detail::State::Rejected, nullptr, &error); }
    // Settles as the given promise settles (cancelled with it too).
    void resolve(const Promise<T>& promise) const;
    void cancel() const { core_->cancel(); }
    bool isPending() const { return core_->state() == promise_detail::State::Pending; }

private:
    friend class Promise<T>;
    explicit Resolver(std::shared_ptr<promise_detail::Core<T>> core) : core_(std::move(core)) {}
    std::shared_ptr<promise_detail::Core<T>> core_;
};

// A value or error that arrives later. Continuations run later (never inside the call that
// attaches them or settles the promise), on the main queue unless a queue is named, in the order
// they were attached. A cancelled promise runs none of its pending continuations, and the
// promises made from it are cancelled too.
//
// A default-constructed promise is null: it stands for "no promise" and has no state.
template <class T>
class Promise {
public:
    using ValueType = T;

    Promise() = default;

    static std::pair<Promise, Resolver<T>> pending() {
        auto core = std::make_shared<promise_detail::Core<T>>();
        return {Promise(core), Resolver<T>(core)};
    }

    // Runs the body at once with the resolver of the new promise.
    explicit Promise(const std::function<void(Resolver<T>)>& body) {
        auto [promise, resolver] = pending();
        core_ = promise.core_;
        body(resolver);
    }

    template <class U = T>
    requires(!std::is_void_v<U>) static Promise resolved(U value) {
        auto [promise, resolver] = pending();
        resolver.fulfill(std::move(value));
        return promise;
    }
    template <class U = T>
    requires std::is_void_v<U>
    static Promise resolved() {
        auto [promise, resolver] = pending();
        resolver.fulfill();
        return promise;
    }
    static Promise rejected(const Error& error) {
        auto [promise, resolver] = pending();
        resolver.reject(error);
        return promise;
    }

    bool isNull() const { return !core_; }
    explicit operator bool() const { return core_ != nullptr; }
    bool isPending() const { return state() == promise_detail::State::Pending; }
    bool isFulfilled() const { return state() == promise_detail::State::Fulfilled; }
    bool isRejected() const { return state() == promise_detail::State::Rejected; }
    bool isCancelled() const { return state() == promise_detail::State::Cancelled; }

    // The value once fulfilled, else nothing.
    template <class U = T>
    requires(!std::is_void_v<U>) std::optional<U> value()
    const {
        if (!isFulfilled()) return std::nullopt;
        return core_->value();
    }
    // The error once rejected, else nothing.
    std::optional<Error> error() const {
        if (!isRejected()) return std::nullopt;
        return core_->error();
    }

    void cancel() const { checkedCore()->cancel(); }

    // f: value → nothing, a value, or a promise (whose result the returned promise takes).
    // Errors pass by f to the returned promise.
    template <class F>
    auto then(F&& f) const {
        return thenOn(nullptr, std::forward<F>(f));
    }

    template <class F>
    auto thenOn(std::shared_ptr<OperationQueue> queue, F&& f) const {
        using R = typename promise_detail::ValueCall<T, F>::type;
        using Next = typename promise_detail::PromiseFor<R>::type;
        auto [next, resolver] = Next::pending();
        typename promise_detail::Core<T>::Continuation continuation;
        continuation.queue = std::move(queue);
        continuation.run =
            [resolver, f = std::forward<F>(f)](const std::shared_ptr<promise_detail::Core<T>>& core) mutable {
                if (core->state() == promise_detail::State::Rejected) {
                    resolver.reject(core->error());
                    return;
                }
                if constexpr (std::is_void_v<T>) {
                    deliver<R>(resolver, [&] { return f(); });
                } else {
                    deliver<R>(resolver, [&] { return f(core->value()); });
                }
            };
        continuation.cancelled = [resolver] { resolver.cancel(); };
        checkedCore()->attach(std::move(continuation));
        return next;
    }

    // f: error → a value or a promise (recovery), or nothing (the error passes on after f ran).
    // Values pass by f to the returned promise.
    template <class F>
    Promise<T> catchError(F&& f) const {
        return catchOn(nullptr, std::forward<F>(f));
    }

    template <class F>
    Promise<T> catchOn(std::shared_ptr<OperationQueue> queue, F&& f) const {
        using R = std::invoke_result_t<F&, const Error&>;
        static_assert(std::is_void_v<R> || std::is_same_v<R, Promise<T>> ||
                          (!std::is_void_v<T> && std::is_convertible_v<R, promise_detail::Stored<T>>),
                      "an error handler returns nothing, a value of the promise's type, or such a promise");
        auto [next, resolver] = Promise<T>::pending();
        typename promise_detail::Core<T>::Continuation continuation;
        continuation.queue = std::move(queue);
        continuation.run =
            [resolver, f = std::forward<F>(f)](const std::shared_ptr<promise_detail::Core<T>>& core) mutable {
                if (core->state() == promise_detail::State::Fulfilled) {
                    forwardValue(resolver, core);
                    return;
                }
                const Error error = core->error();
                if constexpr (std::is_void_v<R>) {
                    f(error);
                    resolver.reject(error);
                } else if constexpr (promise_detail::isPromise<R>) {
                    resolver.resolve(f(error));
                } else {
                    resolver.fulfill(f(error));
                }
            };
        continuation.cancelled = [resolver] { resolver.cancel(); };
        checkedCore()->attach(std::move(continuation));
        return next;
    }

    // f runs when the promise is fulfilled or rejected (not when cancelled); the returned promise
    // then settles as this one did.
    template <class F>
    Promise<T> finally(F&& f) const {
        auto [next, resolver] = Promise<T>::pending();
        typename promise_detail::Core<T>::Continuation continuation;
        continuation.run =
            [resolver, f = std::forward<F>(f)](const std::shared_ptr<promise_detail::Core<T>>& core) mutable {
                f();
                if (core->state() == promise_detail::State::Fulfilled) {
                    forwardValue(resolver, core);
                } else {
                    resolver.reject(core->error());
                }
            };
        continuation.cancelled = [resolver] { resolver.cancel(); };
        checkedCore()->attach(std::move(continuation));
        return next;
    }

    // The owner-bound forms: f gets the owner (`O&`) first and runs only while the owner lives,
    // which it keeps alive while f runs. Once the owner is gone f does not run and the returned
    // promise is cancelled; a rejection (for `then`) or a value (for `catchError`) passes on
    // whatever became of the owner. On the main queue, in attach order with the other forms.

    // f: (owner, value) → nothing, a value, or a promise, as for `then`.
    template <class O, class F>
    auto then(const std::weak_ptr<O>& owner, F&& f) const {
        using R = typename promise_detail::OwnedValueCall<O, T, F>::type;
        using Next = typename promise_detail::PromiseFor<R>::type;
        auto [next, resolver] = Next::pending();
        attachOwned(resolver, [resolver, owner, f = std::forward<F>(f)](
                                  const std::shared_ptr<promise_detail::Core<T>>& core) mutable {
            if (core->state() == promise_detail::State::Rejected) {
                resolver.reject(core->error());
                return;
            }
            auto self = owner.lock();
            if (!self) {
                resolver.cancel();
            } else if constexpr (std::is_void_v<T>) {
                deliver<R>(resolver, [&] { return f(*self); });
            } else {
                deliver<R>(resolver, [&] { return f(*self, core->value()); });
            }
        });
        return next;
    }

    // f: (owner, error) → a value or a promise (recovery), or nothing (the error passes on).
    template <class O, class F>
    Promise<T> catchError(const std::weak_ptr<O>& owner, F&& f) const {
        using R = std::invoke_result_t<F&, O&, const Error&>;
        static_assert(std::is_void_v<R> || std::is_same_v<R, Promise<T>> ||
                          (!std::is_void_v<T> && std::is_convertible_v<R, promise_detail::Stored<T>>),
                      "an error handler returns nothing, a value of the promise's type, or such a promise");
        auto [next, resolver] = Promise<T>::pending();
        attachOwned(resolver, [resolver, owner, f = std::forward<F>(f)](
                                  const std::shared_ptr<promise_detail::Core<T>>& core) mutable {
            if (core->state() == promise_detail::State::Fulfilled) {
                forwardValue(resolver, core);
                return;
            }
            auto self = owner.lock();
            if (!self) {
                resolver.cancel();
                return;
            }
            const Error error = core->error();
            if constexpr (std::is_void_v<R>) {
                f(*self, error);
                resolver.reject(error);
            } else if constexpr (promise_detail::isPromise<R>) {
                resolver.resolve(f(*self, error));
            } else {
                resolver.fulfill(f(*self, error));
            }
        });
        return next;
    }

    // f: (owner) when the promise is fulfilled or rejected; the returned promise then settles as
    // this one did.
    template <class O, class F>
    Promise<T> finally(const std::weak_ptr<O>& owner, F&& f) const {
        auto [next, resolver] = Promise<T>::pending();
        attachOwned(resolver, [resolver, owner, f = std::forward<F>(f)](
                                  const std::shared_ptr<promise_detail::Core<T>>& core) mutable {
            auto self = owner.lock();
            if (!self) {
                resolver.cancel();
                return;
            }
            f(*self);
            if (core->state() == promise_detail::State::Fulfilled) {
                forwardValue(resolver, core);
            } else {
                resolver.reject(core->error());
            }
        });
        return next;
    }

private:
    template <class>
    friend class Promise;
    friend class Resolver<T>;
    friend struct promise_detail::Access;

    explicit Promise(std::shared_ptr<promise_detail::Core<T>> core) : core_(std::move(core)) {}

    const std::shared_ptr<promise_detail::Core<T>>& checkedCore() const {
        TVR_ASSERT(core_ != nullptr, "A null promise has no state");
        return core_;
    }
    promise_detail::State state() const { return checkedCore()->state(); }

    // Runs `run` on the main queue once settled; a cancellation cancels `next` too.
    template <class Next, class Run>
    void attachOwned(const Resolver<Next>& next, Run&& run) const {
        typename promise_detail::Core<T>::Continuation continuation;
        continuation.run = std::forward<Run>(run);
        continuation.cancelled = [next] { next.cancel(); };
        checkedCore()->attach(std::move(continuation));
    }

    static void forwardValue(const Resolver<T>& resolver,
                             const std::shared_ptr<promise_detail::Core<T>>& core) {
        if constexpr (std::is_void_v<T>) {
            resolver.fulfill();
        } else {
            resolver.fulfill(core->value());
        }
    }

    template <class R, class Next, class Call>
    static void deliver(const Resolver<Next>& resolver, Call&& call) {
        if constexpr (std::is_void_v<R>) {
            call();
            resolver.fulfill();
        } else if constexpr (promise_detail::isPromise<R>) {
            resolver.resolve(call());
        } else {
            resolver.fulfill(call());
        }
    }

    // Settles `resolver` as this promise settles, on the settling thread: it runs no user code.
    void pipe(const Resolver<T>& resolver) const {
        typename promise_detail::Core<T>::Continuation continuation;
        continuation.inlineRun = true;
        continuation.run = [resolver](const std::shared_ptr<promise_detail::Core<T>>& core) {
            if (core->state() == promise_detail::State::Fulfilled) {
                forwardValue(resolver, core);
            } else {
                resolver.reject(core->error());
            }
        };
        continuation.cancelled = [resolver] { resolver.cancel(); };
        checkedCore()->attach(std::move(continuation));
    }

    std::shared_ptr<promise_detail::Core<T>> core_;
};

template <class T>
void Resolver<T>::resolve(const Promise<T>& promise) const {
    if (promise.isNull()) {
        TVR_FATAL("Resolving with a null promise");
    }
    promise.pipe(*this);
}

// A promise with its resolver, for code that hands the promise out first and settles it later,
// perhaps after several attempts.
template <class T>
struct Deferred {
    Promise<T> promise;
    Resolver<T> resolver;

    static Deferred make() {
        auto [promise, resolver] = Promise<T>::pending();
        return Deferred{promise, resolver};
    }
};

namespace promise_detail {

// Lets the joins watch a promise without running any user code.
struct Access {
    template <class T, class OnSettled>
    static void watch(const Promise<T>& promise, OnSettled onSettled, Block onCancelled) {
        typename Core<T>::Continuation continuation;
        continuation.inlineRun = true;
        continuation.run = std::move(onSettled);
        continuation.cancelled = std::move(onCancelled);
        promise.checkedCore()->attach(std::move(continuation));
    }
};

}  // namespace promise_detail

// Fulfils with every value, in the order of the promises, once all are fulfilled; rejects with the
// first error; cancelled when one of them is cancelled. An empty list fulfils at once.
template <class T>
auto when(const std::vector<Promise<T>>& promises) {
    using Stored = promise_detail::Stored<T>;
    using Values = std::conditional_t<std::is_void_v<T>, void, std::vector<Stored>>;
    auto [joined, resolver] = Promise<Values>::pending();
    struct Gather {
        std::mutex mutex;
        std::vector<std::optional<Stored>> values;
        size_t remaining = 0;
    };
    auto gather = std::make_shared<Gather>();
    gather->values.resize(promises.size());
    gather->remaining = promises.size();
    auto complete = [gather, resolver] {
        if constexpr (std::is_void_v<T>) {
            resolver.fulfill();
        } else {
            std::vector<Stored> values;
            values.reserve(gather->values.size());
            for (auto& value : gather->values) values.push_back(std::move(*value));
            resolver.fulfill(std::move(values));
        }
    };
    if (promises.empty()) complete();
    for (size_t index = 0; index < promises.size(); ++index) {
        promise_detail::Access::watch(
            promises[index],
            [gather, resolver, complete, index](const std::shared_ptr<promise_detail::Core<T>>& core) {
                if (core->state() == promise_detail::State::Rejected) {
                    resolver.reject(core->error());
                    return;
                }
                std::unique_lock lock(gather->mutex);
                gather->values[index].emplace(core->value());
                if (--gather->remaining > 0) return;
                lock.unlock();
                complete();
            },
            [resolver] { resolver.cancel(); });
    }
    return joined;
}

// The join of promises of different types: a tuple of their values.
template <class... Ts>
requires(sizeof...(Ts) > 1 &&
         (!std::is_void_v<Ts> && ...)) Promise<std::tuple<Ts...>> when(const Promise<Ts>&... promises) {
    auto [joined, resolver] = Promise<std::tuple<Ts...>>::pending();
    struct Gather {
        std::mutex mutex;
        std::tuple<std::optional<Ts>...> values;
        size_t remaining = sizeof...(Ts);
    };
    auto gather = std::make_shared<Gather>();
    auto watch = [&]<size_t Index, class T>(std::integral_constant<size_t, Index>,
                                            const Promise<T>& promise) {
        promise_detail::Access::watch(
            promise,
            [gather, resolver](const std::shared_ptr<promise_detail::Core<T>>& core) {
                if (core->state() == promise_detail::State::Rejected) {
                    resolver.reject(core->error());
                    return;
                }
                std::unique_lock lock(gather->mutex);
                std::get<Index>(gather->values).emplace(core->value());
                if (--gather->remaining > 0) return;
                lock.unlock();
                resolver.fulfill(
                    std::apply([](auto&... values) { return std::tuple<Ts...>(std::move(*values)...); },
                               gather->values));
            },
            [resolver] { resolver.cancel(); });
    };
    [&]<size_t... Indexes>(std::index_sequence<Indexes...>) {
        (watch(std::integral_constant<size_t, Indexes>{}, promises), ...);
    }
    (std::index_sequence_for<Ts...>{});
    return joined;
}

}  // namespace tovrin
