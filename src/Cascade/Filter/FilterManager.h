#pragma once

#include <memory>

#include "Cascade/Filter/Filter.h"
#include "platform/di/Inject.h"
#include "platform/promise/Promise.h"

namespace tovrin {

class TovrinPersistence;

// The member's My Type filter: read from the store once, at construction; after a change readers
// get the new filter at once, whatever the store's save says. One per signed-in member; main thread.
class FilterManager {
public:
    explicit FilterManager(std::shared_ptr<TovrinPersistence> tovrinPersistence);
    using Dependencies = Inject<TovrinPersistence>;

    // The same promise for every reader until the next change; nothing when none was saved.
    Promise<std::shared_ptr<Filter>> retrieveFilter() const { return filterPromise_; }
    // Nothing given changes nothing.
    void setFilter(std::shared_ptr<Filter> filter);

    const std::shared_ptr<TovrinPersistence>& tovrinPersistence() const { return tovrinPersistence_; }

private:
    std::shared_ptr<TovrinPersistence> tovrinPersistence_;
    Promise<std::shared_ptr<Filter>> filterPromise_;
};

}  // namespace tovrin
