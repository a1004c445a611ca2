#include "Helpers/ThreadTrampoline.h"

namespace tovrin {

void ThreadTrampoline::executeBackgroundThreadBlock(Block work, Block mainThreadCompletion) {
    queue_->async([work = std::move(work), completion = std::move(mainThreadCompletion)]() mutable {
        work();
        if (completion) MainQueue::async(std::move(completion));
    });
}

}  // namespace tovrin
