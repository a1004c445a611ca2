#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "Authentication/SessionInfo.h"
#include "Throttling/ThrottledService.h"
#include "platform/di/Inject.h"

namespace tovrin {

class AuthStorage;
class AuthenticatedTovrinEndpoint;
class SessionGeneration;
class TovrinWebAPIThrottler;

// Change of password: POST "/v3/users/update-password" for the signed-in member, throttled under
// this class. On success the stored e-mail with the new password goes to the keychain, then the
// answer's tokens to the session; nothing is stored on failure.
class UpdatePasswordService : public ThrottledService {
public:
    using Dependencies =
        Inject<AuthenticatedTovrinEndpoint, TovrinWebAPIThrottler, AuthStorage, SessionGeneration>;

    UpdatePasswordService(std::shared_ptr<TovrinEndpoint> tovrinEndpoint,
                          std::shared_ptr<Throttler> throttler, std::shared_ptr<AuthStorage> authStorage,
                          std::shared_ptr<SessionGeneration> generation);

    // Resolves with nothing when the answer carried no tokens (the session keeps its own); fails
    // with 10 when the member changed while the request ran.
    Promise<std::optional<SessionInfo>> updatePasswordFromOldPassword(const QString& oldPassword,
                                                                      const QString& newPassword);

    const std::shared_ptr<AuthStorage>& authStorage() const { return authStorage_; }

private:
    std::shared_ptr<AuthStorage> authStorage_;
    std::shared_ptr<SessionGeneration> generation_;
};

}  // namespace tovrin
