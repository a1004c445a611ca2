#include "Throttling/ThrottledService.h"

#include "API/TovrinEndpoint.h"
#include "API/TovrinRequest.h"

namespace tovrin {

ThrottledService::ThrottledService(std::shared_ptr<TovrinEndpoint> tovrinEndpoint,
                                   std::shared_ptr<Throttler> throttler)
    : tovrinEndpoint_(std::move(tovrinEndpoint)), throttler_(std::move(throttler)) {}

ThrottledService::~ThrottledService() = default;

Promise<QJsonValue> ThrottledService::JSONWithRequest(std::shared_ptr<const TovrinRequest> request) {
    return wrappedThrottledPromiseWithThrottler<QJsonValue>(
        throttler_, std::type_index(typeid(*this)),
        [endpoint = tovrinEndpoint_, request] { return endpoint->JSONWithRequest(request); });
}

}  // namespace tovrin
