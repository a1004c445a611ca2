#pragma once

#include "platform/promise/Promise.h"

namespace tovrin {

// State tests for single-flight operations. A null promise (no promise yet) is neither finished
// nor ongoing.
template <class T>
bool finished(const Promise<T>& promise) {
    return !promise.isNull() && !promise.isPending();
}

template <class T>
bool ongoing(const Promise<T>& promise) {
    return !promise.isNull() && promise.isPending();
}

// Still running or fulfilled: a cached promise in this state may be handed out again.
template <class T>
bool ongoingOrFullfilled(const Promise<T>& promise) {
    return ongoing(promise) || (!promise.isNull() && promise.isFulfilled());
}

// Runs the block once, when the promise is fulfilled or rejected, on the main queue; never for a
// cancelled promise.
template <class T>
void performWhenFinished(const Promise<T>& promise, std::function<void()> block) {
    promise.then([block](const auto&...) { block(); });
    promise.catchError([block](const Error&) { block(); });
}

}  // namespace tovrin
