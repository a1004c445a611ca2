#pragma once

#include <memory>

#include "platform/foundation/DispatchQueue.h"

namespace tovrin {

// Runs work on one dispatch queue and then its completion on the main queue. With a serial queue,
// work blocks run one at a time in submission order and their completions reach the main queue in
// the same order.
class ThreadTrampoline {
public:
    explicit ThreadTrampoline(std::shared_ptr<DispatchQueue> queue) : queue_(std::move(queue)) {}
    virtual ~ThreadTrampoline() = default;

    // Returns at once. No value passes from work to completion: share storage between them.
    virtual void executeBackgroundThreadBlock(Block work, Block mainThreadCompletion = {});

    const std::shared_ptr<DispatchQueue>& queue() const { return queue_; }
    void setQueue(std::shared_ptr<DispatchQueue> queue) { queue_ = std::move(queue); }

private:
    std::shared_ptr<DispatchQueue> queue_;
};

}  // namespace tovrin
