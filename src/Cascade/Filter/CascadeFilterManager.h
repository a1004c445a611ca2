#pragma once

#include <memory>

#include "Cascade/Filter/CascadeFilter.h"
#include "platform/di/Inject.h"
#include "platform/promise/Promise.h"

namespace tovrin {

class TovrinPersistence;

// The member's grid switches: read from the store once, at construction; after a change readers
// get the new switches at once, whatever the store's save says. One per signed-in member; main
// thread.
class CascadeFilterManager {
public:
    explicit CascadeFilterManager(std::shared_ptr<TovrinPersistence> tovrinPersistence);
    using Dependencies = Inject<TovrinPersistence>;

    // The same promise for every reader until the next change; nothing when none were saved.
    Promise<std::shared_ptr<CascadeFilter>> retrieveCascadeFilter() const { return cascadeFilterPromise_; }
    // Nothing given changes nothing.
    void setCascadeFilter(std::shared_ptr<CascadeFilter> cascadeFilter);

    const std::shared_ptr<TovrinPersistence>& tovrinPersistence() const { return tovrinPersistence_; }

private:
    std::shared_ptr<TovrinPersistence> tovrinPersistence_;
    Promise<std::shared_ptr<CascadeFilter>> cascadeFilterPromise_;
};

}  // namespace tovrin
