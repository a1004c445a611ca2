#pragma once

#include <QUrl>
#include <functional>
#include <memory>

#include "API/FullBootstrapInfo.h"
#include "API/TovrinServiceError.h"
#include "platform/di/Inject.h"
#include "platform/promise/Promise.h"

namespace tovrin {

class AuthenticatedBootstrapManager;

// A signed-in member's base addresses, from the bootstrap answer of the session that was current
// when this service was made.
class AuthenticatedURLService {
public:
    // Without a manager (made while signed out) every address fails with 10.
    explicit AuthenticatedURLService(std::shared_ptr<AuthenticatedBootstrapManager> bootstrapManager);
    virtual ~AuthenticatedURLService() = default;

    using Dependencies = Inject<AuthenticatedBootstrapManager>;

    virtual Promise<QUrl> URLForAPI();
    virtual Promise<QUrl> URLForMedia();
    virtual Promise<QUrl> URLForUpload();
    virtual Promise<ChatServerInfo> chatServerInfo();

    // One value of the bootstrap answer, or the bootstrap call's failure.
    template <class T>
    Promise<T> bootstrapInfoWithValueResolver(std::function<T(const FullBootstrapInfo&)> valueResolver);

private:
    Promise<FullBootstrapInfo> retrieveFullBootstrapInfo();

    std::shared_ptr<AuthenticatedBootstrapManager> bootstrapManager_;
};

template <class T>
Promise<T> AuthenticatedURLService::bootstrapInfoWithValueResolver(
    std::function<T(const FullBootstrapInfo&)> valueResolver) {
    return retrieveFullBootstrapInfo().then(
        [valueResolver = std::move(valueResolver)](const FullBootstrapInfo& info) {
            return valueResolver(info);
        });
}

}  // namespace tovrin
