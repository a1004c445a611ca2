#pragma once

#include <QString>
#include <memory>

#include "Throttling/ThrottledService.h"
#include "platform/di/Inject.h"
#include "platform/foundation/Date.h"

namespace tovrin {

class AuthStorage;
class TovrinEndpoint;
class TovrinWebAPIThrottler;

// Sign-up: POST "/v3/users" without authorization, throttled under this class.
class CreateAccountService : public ThrottledService {
public:
    CreateAccountService(std::shared_ptr<TovrinEndpoint> tovrinEndpoint, std::shared_ptr<Throttler> throttler,
                         std::shared_ptr<AuthStorage> authStorage);

    using Dependencies = Inject<TovrinEndpoint, TovrinWebAPIThrottler, AuthStorage>;

    // Resolves once the account exists, the credentials are stored and the shared user session has
    // started. Nothing is stored before the service accepted the account; a response that names no
    // member and tokens fails with 9.
    Promise<void> createAccountWithEmail(const QString& email, const QString& password, bool optIn,
                                         Date birthday);

    // Not rounded.
    static double millisecondsSince1970ForBirthDate(Date birthDate);

    const std::shared_ptr<AuthStorage>& authStorage() const { return authStorage_; }

private:
    std::shared_ptr<AuthStorage> authStorage_;
};

}  // namespace tovrin
