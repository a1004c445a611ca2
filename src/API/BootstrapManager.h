#pragma once

#include <QUrl>
#include <memory>

#include "platform/promise/Promise.h"

namespace tovrin {

class BootstrapService;
class Injector;

// Caches the promise of one signed-out bootstrap call: a running or fulfilled promise is handed out
// again, a failed one is replaced at the next call. One manager serves one of its two operations.
class BootstrapManager {
public:
    explicit BootstrapManager(std::shared_ptr<BootstrapService> bootstrapService);
    virtual ~BootstrapManager() = default;

    // Container initializer: the `BootstrapService` class key.
    static std::shared_ptr<BootstrapManager> create(Injector& injector);

    Promise<QUrl> retrieveUnauthenticatedApiURL();
    Promise<QUrl> retrieveUnauthenticatedWebURL();

private:
    Promise<QUrl> reusedOr(const std::function<Promise<QUrl>()>& start);

    std::shared_ptr<BootstrapService> bootstrapService_;
    Promise<QUrl> bootstrapPromise_;
};

}  // namespace tovrin
