#include "platform/foundation/OperationQueue.h"

#include <QThreadPool>

namespace tovrin {

OperationQueue::OperationQueue() = default;

std::shared_ptr<OperationQueue> OperationQueue::main() {
    static const std::shared_ptr<OperationQueue> queue(new OperationQueue(MainTag{}));
    return queue;
}

void OperationQueue::addOperation(Block block) {
    if (isMain_) {
        MainQueue::async(std::move(block));
    } else {
        QThreadPool::globalInstance()->start(std::move(block));
    }
}

}  // namespace tovrin
