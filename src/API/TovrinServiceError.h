#pragma once

#include <QString>

#include "platform/foundation/Error.h"

namespace tovrin {

// The one domain of every failure of the web client, the media service and the throttler. Its
// errors carry their code only: no message, no underlying error.
inline const QString TovrinServiceErrorDomain = QStringLiteral("com.tovrin.client.TovrinServiceErrorDomain");

enum TovrinServiceErrorCode : qint64 {
    TovrinServiceErrorGeneric = 1,
    TovrinServiceErrorInvalidCredentials = 2,
    TovrinServiceErrorClientDeprecated = 3,
    TovrinServiceErrorEmailAlreadyInUse = 4,
    TovrinServiceErrorPasswordIncorrect = 5,
    TovrinServiceErrorUserBanned = 6,
    TovrinServiceErrorFavoritesLimitReached = 7,
    TovrinServiceErrorBlocksLimitReached = 8,
    TovrinServiceErrorDataNotReadable = 9,
    TovrinServiceErrorSessionRenewalFailed = 10,
    TovrinServiceErrorProfileNotFound = 11,
    TovrinServiceErrorServerError = 12,
    TovrinServiceErrorThrottled = 13,
    TovrinServiceErrorMissingMediaHash = 14,
    TovrinServiceErrorCertificateMismatch = 15,
    TovrinServiceErrorNoInternetConnection = 16,
    TovrinServiceErrorDailyPhotoUploadLimitReached = 17,
};

inline Error tovrinServiceError(qint64 code) {
    return Error(TovrinServiceErrorDomain, code);
}

inline bool isTovrinServiceError(const Error& error, qint64 code) {
    return error.is(TovrinServiceErrorDomain, code);
}

}  // namespace tovrin
