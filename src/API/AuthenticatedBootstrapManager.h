#pragma once

#include <memory>

#include "API/FullBootstrapInfo.h"
#include "platform/di/Inject.h"
#include "platform/promise/Promise.h"

namespace tovrin {

class AuthenticatedBootstrapService;

// Caches the promise of a signed-in member's bootstrap call, one manager per session: a running or
// fulfilled promise is handed out again, a failed one is replaced at the next call.
class AuthenticatedBootstrapManager {
public:
    explicit AuthenticatedBootstrapManager(std::shared_ptr<AuthenticatedBootstrapService> bootstrapService);
    virtual ~AuthenticatedBootstrapManager() = default;

    using Dependencies = Inject<AuthenticatedBootstrapService>;

    Promise<FullBootstrapInfo> retrieveFullBootstrapInfo();
    // The next call sends a new request; whoever holds the running one still gets its outcome.
    void invalidateCurrentBootstrapPromise();

    const std::shared_ptr<AuthenticatedBootstrapService>& bootstrapService() const {
        return bootstrapService_;
    }

private:
    std::shared_ptr<AuthenticatedBootstrapService> bootstrapService_;
    Promise<FullBootstrapInfo> bootstrapPromise_;
};

}  // namespace tovrin
