#pragma once

#include <QUrl>
#include <memory>

#include "platform/di/Inject.h"
#include "platform/promise/Promise.h"

namespace tovrin {

class BootstrapService;

// Caches the promise of one signed-out bootstrap call: a running or fulfilled promise is handed out
// again, a failed one is replaced at the next call. One manager serves one of its two operations.
class BootstrapManager {
public:
    explicit BootstrapManager(std::shared_ptr<BootstrapService> bootstrapService);
    virtual ~BootstrapManager() = default;

    using Dependencies = Inject<BootstrapService>;

    Promise<QUrl> retrieveUnauthenticatedApiURL();
    Promise<QUrl> retrieveUnauthenticatedWebURL();

private:
    Promise<QUrl> reusedOr(const std::function<Promise<QUrl>()>& start);

    std::shared_ptr<BootstrapService> bootstrapService_;
    Promise<QUrl> bootstrapPromise_;
};

}  // namespace tovrin
