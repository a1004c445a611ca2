#pragma once

#include "sandbox/http/HTTPReply.h"

namespace tovrin::sandbox {

// The service's refusals: each answers with an HTTP status and the error body
// {"code": server code, "message"}. Coded refusals of signed-in calls never use 401, which means
// only that the session token is missing, unknown or expired.
enum class ServiceError {
    InvalidRequest,          // 400, code 1
    NotSignedIn,             // 401, code 2
    NotFound,                // 404, code 3
    InvalidCredentials,      // 403, code 4
    ClientDeprecated,        // 403, code 8
    EmailInUse,              // 409, code 22
    PasswordIncorrect,       // 403, code 24
    Banned,                  // 403, code 27
    FavoritesLimitReached,   // 403, code 33
    BlocksLimitReached,      // 403, code 34
    DailyPhotoLimitReached,  // 429, code 51
};

HTTPReply errorReply(ServiceError error);

}  // namespace tovrin::sandbox
