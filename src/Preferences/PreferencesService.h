#pragma once

#include <memory>

#include "Preferences/Preferences.h"
#include "Throttling/ThrottledService.h"
#include "platform/di/Inject.h"

namespace tovrin {

class AuthenticatedTovrinEndpoint;
class PreferencesJSONMapper;
class TovrinWebAPIThrottler;

// The member's server-side preferences. Failures come as the web client and the throttler give them.
class PreferencesService : public ThrottledService {
public:
    PreferencesService(std::shared_ptr<TovrinEndpoint> tovrinEndpoint, std::shared_ptr<Throttler> throttler,
                       std::shared_ptr<PreferencesJSONMapper> preferencesJSONMapper);

    using Dependencies = Inject<AuthenticatedTovrinEndpoint, TovrinWebAPIThrottler, PreferencesJSONMapper>;

    // GET "/v3/me/prefs".
    Promise<Preferences> retrievePreferences();

private:
    std::shared_ptr<PreferencesJSONMapper> preferencesJSONMapper_;
};

}  // namespace tovrin
