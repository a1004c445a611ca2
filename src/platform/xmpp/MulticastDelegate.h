#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/MainQueue.h"

namespace tovrin::xmpp {

// Several delegates, each called on its own queue, always later (never inside the call that
// invokes them), in the order of the invocations. Delegates are held weakly: one that has gone
// is skipped. Registration may come from another thread than the invocations, hence the lock.
template <class Delegate>
class MulticastDelegate {
public:
    using Call = std::function<void(Delegate&)>;

    void addDelegate(const std::weak_ptr<Delegate>& delegate, const std::shared_ptr<DispatchQueue>& queue) {
        std::lock_guard lock(mutex_);
        entries_.push_back({delegate, queue ? queue : DispatchQueue::main()});
    }

    void removeDelegate(const Delegate* delegate) {
        std::lock_guard lock(mutex_);
        std::erase_if(entries_, [&](const Entry& entry) {
            auto strong = entry.delegate.lock();
            return !strong || strong.get() == delegate;
        });
    }

    void removeAllDelegates() {
        std::lock_guard lock(mutex_);
        entries_.clear();
    }

    bool isEmpty() const {
        std::lock_guard lock(mutex_);
        return entries_.empty();
    }

    void invoke(const Call& call) const {
        for (const Entry& entry : snapshot()) {
            entry.queue->async([delegate = entry.delegate, call] {
                if (auto strong = delegate.lock()) call(*strong);
            });
        }
    }

    // Asks every delegate, each on its queue, then hands whether any said yes to `completion`
    // on the main queue. With no delegate the answer is no.
    void invokeAsking(const std::function<bool(Delegate&)>& ask, std::function<void(bool)> completion) const {
        const std::vector<Entry> entries = snapshot();
        if (entries.empty()) {
            MainQueue::async([completion] { completion(false); });
            return;
        }
        struct Tally {
            std::mutex mutex;
            size_t remaining;
            bool anyYes = false;
        };
        auto tally = std::make_shared<Tally>();
        tally->remaining = entries.size();
        for (const Entry& entry : entries) {
            entry.queue->async([delegate = entry.delegate, ask, tally, completion] {
                auto strong = delegate.lock();
                const bool yes = strong && ask(*strong);
                std::lock_guard lock(tally->mutex);
                tally->anyYes = tally->anyYes || yes;
                if (--tally->remaining == 0) {
                    MainQueue::async([completion, anyYes = tally->anyYes] { completion(anyYes); });
                }
            });
        }
    }

private:
    struct Entry {
        std::weak_ptr<Delegate> delegate;
        std::shared_ptr<DispatchQueue> queue;
    };

    std::vector<Entry> snapshot() const {
        std::lock_guard lock(mutex_);
        return entries_;
    }

    mutable std::mutex mutex_;
    std::vector<Entry> entries_;
};

}  // namespace tovrin::xmpp
