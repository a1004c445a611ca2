#pragma once

#include <memory>

#include "platform/foundation/MainQueue.h"

namespace tovrin {

// A queue of work. `main()` runs its work on the main thread; a new queue runs it on a thread
// pool, concurrently.
class OperationQueue {
public:
    OperationQueue();
    virtual ~OperationQueue() = default;

    static std::shared_ptr<OperationQueue> main();

    virtual void addOperation(Block block);
    bool isMain() const { return isMain_; }

private:
    struct MainTag {};
    explicit OperationQueue(MainTag) : isMain_(true) {}

    bool isMain_ = false;
};

}  // namespace tovrin
