#include "API/URLService.h"

#include "API/BootstrapManager.h"

namespace tovrin {

URLService::URLService(std::shared_ptr<BootstrapManager> bootstrapManager)
    : bootstrapManager_(std::move(bootstrapManager)) {}

Promise<QUrl> URLService::URLForAPI() {
    return bootstrapManager_->retrieveUnauthenticatedApiURL();
}

}  // namespace tovrin
