#include "StatusMessages/StatusMessageQueue.h"

namespace tovrin {

StatusMessageQueue::StatusMessageQueue(std::weak_ptr<StatusMessageQueueDelegate> delegate)
    : delegate_(std::move(delegate)) {}

void StatusMessageQueue::enqueueStatusMessage(const StatusMessage& message) {
    if (auto delegate = delegate_.lock()) delegate->statusMessageQueueDidReceiveStatusMessage(*this, message);
}

}  // namespace tovrin
