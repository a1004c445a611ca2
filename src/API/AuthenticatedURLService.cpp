#include "API/AuthenticatedURLService.h"

#include "API/AuthenticatedBootstrapManager.h"

namespace tovrin {

AuthenticatedURLService::AuthenticatedURLService(
    std::shared_ptr<AuthenticatedBootstrapManager> bootstrapManager)
    : bootstrapManager_(std::move(bootstrapManager)) {}

Promise<QUrl> AuthenticatedURLService::URLForAPI() {
    return bootstrapInfoWithValueResolver<QUrl>(
        [](const FullBootstrapInfo& info) { return info.tovrinServicesInfo().apiURL(); });
}

Promise<QUrl> AuthenticatedURLService::URLForMedia() {
    return bootstrapInfoWithValueResolver<QUrl>(
        [](const FullBootstrapInfo& info) { return info.tovrinServicesInfo().mediaURL(); });
}

Promise<QUrl> AuthenticatedURLService::URLForUpload() {
    return bootstrapInfoWithValueResolver<QUrl>(
        [](const FullBootstrapInfo& info) { return info.tovrinServicesInfo().uploadURL(); });
}

Promise<ChatServerInfo> AuthenticatedURLService::chatServerInfo() {
    return bootstrapInfoWithValueResolver<ChatServerInfo>(
        [](const FullBootstrapInfo& info) { return info.tovrinServicesInfo().chatServerInfo(); });
}

Promise<FullBootstrapInfo> AuthenticatedURLService::retrieveFullBootstrapInfo() {
    if (!bootstrapManager_) {
        return Promise<FullBootstrapInfo>::rejected(
            tovrinServiceError(TovrinServiceErrorSessionRenewalFailed));
    }
    return bootstrapManager_->retrieveFullBootstrapInfo();
}

}  // namespace tovrin
