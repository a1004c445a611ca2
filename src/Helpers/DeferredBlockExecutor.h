#pragma once

#include "platform/foundation/MainQueue.h"

namespace tovrin {

// Runs a block on the main queue after a delay. Nothing cancels it: a block that must not act
// late checks its own condition when it runs.
class DeferredBlockExecutor {
public:
    virtual ~DeferredBlockExecutor() = default;

    // The block always runs later, never inside this call, even for a zero or negative delay.
    virtual void executeAfter(double delay, Block block);
};

}  // namespace tovrin
