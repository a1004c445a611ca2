#pragma once

#include <QJsonValue>
#include <functional>
#include <memory>
#include <typeindex>

#include "API/TovrinServiceError.h"
#include "Throttling/Throttler.h"
#include "platform/promise/Promise.h"

namespace tovrin {

class TovrinEndpoint;
class TovrinRequest;

// The base of the feature web services: each call asks the throttler first, under the key of the
// service's class (so all instances of one class share it), and reports how it ended.
class ThrottledService {
public:
    ThrottledService(std::shared_ptr<TovrinEndpoint> tovrinEndpoint, std::shared_ptr<Throttler> throttler);
    virtual ~ThrottledService();

    // Fails at once with code 13, running nothing, while the key is refused. Otherwise runs the
    // block: a success clears the key, a server error (12) counts against it, and the outcome passes
    // on unchanged after that bookkeeping.
    template <class T>
    static Promise<T> wrappedThrottledPromiseWithThrottler(
        const std::shared_ptr<Throttler>& throttler, const ThrottleActionKey& actionKey,
        const std::function<Promise<T>()>& endpointPromiseBlock);

protected:
    Promise<QJsonValue> JSONWithRequest(std::shared_ptr<const TovrinRequest> request);

private:
    std::shared_ptr<TovrinEndpoint> tovrinEndpoint_;
    std::shared_ptr<Throttler> throttler_;
};

template <class T>
Promise<T> ThrottledService::wrappedThrottledPromiseWithThrottler(
    const std::shared_ptr<Throttler>& throttler, const ThrottleActionKey& actionKey,
    const std::function<Promise<T>()>& endpointPromiseBlock) {
    if (throttler->shouldThrottleAction(actionKey)) {
        return Promise<T>::rejected(tovrinServiceError(TovrinServiceErrorThrottled));
    }
    Promise<T> settled;
    if constexpr (std::is_void_v<T>) {
        settled =
            endpointPromiseBlock().then([throttler, actionKey] { throttler->actionDidSucceed(actionKey); });
    } else {
        settled = endpointPromiseBlock().then([throttler, actionKey](const T& value) {
            throttler->actionDidSucceed(actionKey);
            return value;
        });
    }
    return settled.catchError([throttler, actionKey](const Error& error) {
        if (isTovrinServiceError(error, TovrinServiceErrorServerError)) throttler->actionDidFail(actionKey);
    });
}

}  // namespace tovrin
