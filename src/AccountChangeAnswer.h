#pragma once

#include <QJsonValue>
#include <memory>
#include <optional>

#include "Authentication/LoginCredentials.h"
#include "Authentication/SessionGeneration.h"
#include "Authentication/SessionInfo.h"
#include "platform/promise/Promise.h"

namespace tovrin {

class AuthStorage;

// What a change of e-mail or password does with the service's answer: the new credentials go to
// the keychain, then the new tokens to the session. An answer that arrives after the member signed
// out or another signed in stores nothing and fails with 10, so that it cannot bring a gone member's
// credentials back. An answer without tokens still stores the credentials (the change was made) but
// leaves the session its own tokens; it resolves with nothing.
Promise<std::optional<SessionInfo>> applyAccountChangeAnswer(const QJsonValue& answer,
                                                             const LoginCredentials& credentials,
                                                             const std::shared_ptr<AuthStorage>& authStorage,
                                                             const SessionGeneration& generation,
                                                             SessionGeneration::Stamp sentUnder);

}  // namespace tovrin
