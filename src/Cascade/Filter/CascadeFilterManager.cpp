#include "Cascade/Filter/CascadeFilterManager.h"

#include "Persistence/TovrinPersistence.h"

namespace tovrin {

CascadeFilterManager::CascadeFilterManager(std::shared_ptr<TovrinPersistence> tovrinPersistence)
    : tovrinPersistence_(std::move(tovrinPersistence)),
      cascadeFilterPromise_(tovrinPersistence_->getCascadeFilter()) {}

void CascadeFilterManager::setCascadeFilter(std::shared_ptr<CascadeFilter> cascadeFilter) {
    if (!cascadeFilter) return;
    tovrinPersistence_->saveCascadeFilter(*cascadeFilter);
    cascadeFilterPromise_ = Promise<std::shared_ptr<CascadeFilter>>::resolved(std::move(cascadeFilter));
}

}  // namespace tovrin
