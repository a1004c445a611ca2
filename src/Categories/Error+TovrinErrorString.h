#pragma once

#include <QString>

#include "platform/foundation/Error.h"

namespace tovrin {

// The sentence shown when an action failed, given the action as a lower-case verb phrase
// ("login", "save changes"): the "no internet" wording for the service's code 16, the plain one
// for every other error.
QString tvr_errorStringForActionString(const Error& error, const QString& action);
QString tvr_errorStringForActionString(const QString& action, bool notConnectedToInternet);

}  // namespace tovrin
