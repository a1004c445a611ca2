#pragma once

#include <utility>
#include <vector>

#include "Helpers/DeferredBlockExecutor.h"

namespace tovrin::test {

// Keeps the blocks with their delays; the test runs them, in the order they were deferred.
class ManualDeferredBlockExecutor : public DeferredBlockExecutor {
public:
    void executeAfter(double delay, Block block) override { pending_.emplace_back(delay, std::move(block)); }

    // The delays of the blocks not run yet, oldest first.
    std::vector<double> pendingDelays() const {
        std::vector<double> delays;
        for (const auto& entry : pending_) delays.push_back(entry.first);
        return delays;
    }
    bool isEmpty() const { return pending_.empty(); }
    // Runs the oldest pending block; false when there is none. Blocks it defers wait their turn.
    bool runNext() {
        if (pending_.empty()) return false;
        Block block = std::move(pending_.front().second);
        pending_.erase(pending_.begin());
        if (block) block();
        return true;
    }

private:
    std::vector<std::pair<double, Block>> pending_;
};

}  // namespace tovrin::test
