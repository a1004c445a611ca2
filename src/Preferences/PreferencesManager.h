#pragma once

#include <memory>
#include <optional>

#include "Authentication/SessionGeneration.h"
#include "platform/di/Inject.h"
#include "platform/promise/Promise.h"

namespace tovrin {

class PreferencesService;

// Feeds the member's server-side preferences (saved phrases, chat photos) to the member's managers,
// fetching them once per member session: a fetch belongs to the session it started in, its answer
// goes to the managers of that session when it arrives and to nobody once that session ended, and
// a failed fetch is forgotten so that the next call tries again. One per process; main thread only.
class PreferencesManager : public std::enable_shared_from_this<PreferencesManager> {
public:
    explicit PreferencesManager(std::shared_ptr<PreferencesService> preferencesService);

    using Dependencies = Inject<PreferencesService>;

    // Nothing while no member is signed in, or while this session's fetch runs or has succeeded.
    void retrievePreferences();

private:
    void forget(SessionGeneration::Stamp generation);

    std::shared_ptr<PreferencesService> preferencesService_;
    Promise<void> cachedPreferencesPromise_;
    std::optional<SessionGeneration::Stamp> cachedGeneration_;
};

}  // namespace tovrin
