#include "Cascade/Filter/FilterManager.h"

#include "Persistence/TovrinPersistence.h"

namespace tovrin {

FilterManager::FilterManager(std::shared_ptr<TovrinPersistence> tovrinPersistence)
    : tovrinPersistence_(std::move(tovrinPersistence)), filterPromise_(tovrinPersistence_->getFilter()) {}

void FilterManager::setFilter(std::shared_ptr<Filter> filter) {
    if (!filter) return;
    tovrinPersistence_->saveFilter(*filter);
    filterPromise_ = Promise<std::shared_ptr<Filter>>::resolved(std::move(filter));
}

}  // namespace tovrin
