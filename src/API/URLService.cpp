#include "API/URLService.h"

#include "API/BootstrapManager.h"
#include "platform/di/Injector.h"

namespace tovrin {

URLService::URLService(std::shared_ptr<BootstrapManager> bootstrapManager)
    : bootstrapManager_(std::move(bootstrapManager)) {}

std::shared_ptr<URLService> URLService::create(Injector& injector) {
    return std::make_shared<URLService>(injector.get<BootstrapManager>());
}

Promise<QUrl> URLService::URLForAPI() {
    return bootstrapManager_->retrieveUnauthenticatedApiURL();
}

}  // namespace tovrin
