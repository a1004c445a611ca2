#include "API/AuthenticatedBootstrapManager.h"

#include "API/AuthenticatedBootstrapService.h"
#include "Categories/Promise+InProgress.h"
#include "platform/di/Injector.h"

namespace tovrin {

AuthenticatedBootstrapManager::AuthenticatedBootstrapManager(
    std::shared_ptr<AuthenticatedBootstrapService> bootstrapService)
    : bootstrapService_(std::move(bootstrapService)) {}

std::shared_ptr<AuthenticatedBootstrapManager> AuthenticatedBootstrapManager::create(Injector& injector) {
    return std::make_shared<AuthenticatedBootstrapManager>(injector.get<AuthenticatedBootstrapService>());
}

Promise<FullBootstrapInfo> AuthenticatedBootstrapManager::retrieveFullBootstrapInfo() {
    if (!ongoingOrFullfilled(bootstrapPromise_))
        bootstrapPromise_ = bootstrapService_->retrieveFullBootstrapInfo();
    return bootstrapPromise_;
}

void AuthenticatedBootstrapManager::invalidateCurrentBootstrapPromise() {
    bootstrapPromise_ = {};
}

}  // namespace tovrin
