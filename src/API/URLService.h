#pragma once

#include <QUrl>
#include <memory>

#include "platform/di/Inject.h"
#include "platform/promise/Promise.h"

namespace tovrin {

class BootstrapManager;

// The signed-out base addresses. One per process.
class URLService {
public:
    explicit URLService(std::shared_ptr<BootstrapManager> bootstrapManager);
    virtual ~URLService() = default;

    using Dependencies = Inject<BootstrapManager>;

    // The configured host address; no request is made.
    virtual Promise<QUrl> URLForAPI();

private:
    std::shared_ptr<BootstrapManager> bootstrapManager_;
};

}  // namespace tovrin
