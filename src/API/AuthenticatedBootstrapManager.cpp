#include "API/AuthenticatedBootstrapManager.h"

#include "API/AuthenticatedBootstrapService.h"
#include "Categories/Promise+InProgress.h"

namespace tovrin {

AuthenticatedBootstrapManager::AuthenticatedBootstrapManager(
    std::shared_ptr<AuthenticatedBootstrapService> bootstrapService)
    : bootstrapService_(std::move(bootstrapService)) {}

Promise<FullBootstrapInfo> AuthenticatedBootstrapManager::retrieveFullBootstrapInfo() {
    if (!ongoingOrFullfilled(bootstrapPromise_))
        bootstrapPromise_ = bootstrapService_->retrieveFullBootstrapInfo();
    return bootstrapPromise_;
}

void AuthenticatedBootstrapManager::invalidateCurrentBootstrapPromise() {
    bootstrapPromise_ = {};
}

}  // namespace tovrin
