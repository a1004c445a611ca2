#pragma once

#include <QString>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/foundation/MainQueue.h"

namespace tovrin {

// A serial queue with a thread of its own: blocks run one at a time, in submission order.
// `main()` is the main thread's queue, for callers that take any serial queue.
class DispatchQueue {
public:
    explicit DispatchQueue(QString label);
    static std::shared_ptr<DispatchQueue> main();

    ~DispatchQueue();  // runs the blocks already submitted, then ends the thread

    DispatchQueue(const DispatchQueue&) = delete;
    DispatchQueue& operator=(const DispatchQueue&) = delete;

    void async(Block block);
    // Runs the block on the queue and waits for it. Must not be called on the queue itself.
    void sync(const Block& block);

    bool isCurrent() const;
    bool isMain() const { return isMain_; }
    const QString& label() const { return label_; }

private:
    struct MainTag {};
    explicit DispatchQueue(MainTag);

    // Shared with the thread, which may outlive the queue object (see the destructor).
    struct State {
        std::mutex mutex;
        std::condition_variable wake;
        std::deque<Block> blocks;
        bool stopping = false;
    };
    static void run(const std::shared_ptr<State>& state);

    const QString label_;
    const bool isMain_ = false;
    const std::shared_ptr<State> state_ = std::make_shared<State>();
    std::thread thread_;
};

}  // namespace tovrin
