#pragma once

#include <QUrl>
#include <memory>

#include "platform/promise/Promise.h"

namespace tovrin {

class BootstrapManager;
class Injector;

// The signed-out base addresses. One per process.
class URLService {
public:
    explicit URLService(std::shared_ptr<BootstrapManager> bootstrapManager);
    virtual ~URLService() = default;

    // Container initializer: the `BootstrapManager` class key.
    static std::shared_ptr<URLService> create(Injector& injector);

    // The configured host address; no request is made.
    virtual Promise<QUrl> URLForAPI();

private:
    std::shared_ptr<BootstrapManager> bootstrapManager_;
};

}  // namespace tovrin
