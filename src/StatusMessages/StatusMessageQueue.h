#pragma once

#include "StatusMessages/StatusMessage.h"

#include <memory>

namespace tovrin {

class StatusMessageQueue;

// The status banner's owner: it shows each message it receives at once.
class StatusMessageQueueDelegate {
public:
    virtual ~StatusMessageQueueDelegate() = default;
    virtual void statusMessageQueueDidReceiveStatusMessage(StatusMessageQueue& queue,
                                                           const StatusMessage& message) = 0;
};

// The process's one channel to the status banner. It keeps nothing: each message goes to the
// delegate at once, and without a delegate it is dropped. Main thread only.
class StatusMessageQueue {
public:
    StatusMessageQueue() = default;
    explicit StatusMessageQueue(std::weak_ptr<StatusMessageQueueDelegate> delegate);

    void enqueueStatusMessage(const StatusMessage& message);

    std::weak_ptr<StatusMessageQueueDelegate> delegate() const { return delegate_; }
    void setDelegate(std::weak_ptr<StatusMessageQueueDelegate> delegate) { delegate_ = std::move(delegate); }

private:
    std::weak_ptr<StatusMessageQueueDelegate> delegate_;
};

}  // namespace tovrin
