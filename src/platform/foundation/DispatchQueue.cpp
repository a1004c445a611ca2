#include "platform/foundation/DispatchQueue.h"

#include "platform/foundation/Error.h"

namespace tovrin {

DispatchQueue::DispatchQueue(QString label) : label_(std::move(label)) {
    thread_ = std::thread([state = state_] { run(state); });
}

DispatchQueue::DispatchQueue(MainTag) : label_(QStringLiteral("main")), isMain_(true) {}

std::shared_ptr<DispatchQueue> DispatchQueue::main() {
    static const std::shared_ptr<DispatchQueue> queue(new DispatchQueue(MainTag{}));
    return queue;
}

DispatchQueue::~DispatchQueue() {
    if (isMain_) return;
    {
        std::lock_guard lock(state_->mutex);
        state_->stopping = true;
    }
    state_->wake.notify_one();
    // The last owner may let go from inside one of the queue's own blocks; the thread then
    // finishes the remaining blocks on its own.
    if (isCurrent()) {
        thread_.detach();
    } else {
        thread_.join();
    }
}

void DispatchQueue::async(Block block) {
    if (isMain_) {
        MainQueue::async(std::move(block));
        return;
    }
    {
        std::lock_guard lock(state_->mutex);
        state_->blocks.push_back(std::move(block));
    }
    state_->wake.notify_one();
}

void DispatchQueue::sync(const Block& block) {
    TVR_ASSERT(!isCurrent(), "sync on the queue's own thread would never return");
    std::mutex doneMutex;
    std::condition_variable doneSignal;
    bool done = false;
    async([&] {
        block();
        std::lock_guard lock(doneMutex);
        done = true;
        doneSignal.notify_one();
    });
    std::unique_lock lock(doneMutex);
    doneSignal.wait(lock, [&] { return done; });
}

bool DispatchQueue::isCurrent() const {
    if (isMain_) return MainQueue::isMainThread();
    return std::this_thread::get_id() == thread_.get_id();
}

void DispatchQueue::run(const std::shared_ptr<State>& state) {
    for (;;) {
        Block block;
        {
            std::unique_lock lock(state->mutex);
            state->wake.wait(lock, [&] { return state->stopping || !state->blocks.empty(); });
            if (state->blocks.empty()) return;
            block = std::move(state->blocks.front());
            state->blocks.pop_front();
        }
        block();
    }
}

}  // namespace tovrin
