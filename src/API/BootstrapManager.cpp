#include "API/BootstrapManager.h"

#include "API/BootstrapService.h"
#include "Categories/Promise+InProgress.h"

namespace tovrin {

BootstrapManager::BootstrapManager(std::shared_ptr<BootstrapService> bootstrapService)
    : bootstrapService_(std::move(bootstrapService)) {}

Promise<QUrl> BootstrapManager::retrieveUnauthenticatedApiURL() {
    return reusedOr([this] { return bootstrapService_->retrieveApiURL(); });
}

Promise<QUrl> BootstrapManager::retrieveUnauthenticatedWebURL() {
    return reusedOr([this] { return bootstrapService_->retrieveAuthenticationWebURL(); });
}

Promise<QUrl> BootstrapManager::reusedOr(const std::function<Promise<QUrl>()>& start) {
    if (!ongoingOrFullfilled(bootstrapPromise_)) bootstrapPromise_ = start();
    return bootstrapPromise_;
}

}  // namespace tovrin
