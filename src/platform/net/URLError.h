#pragma once

#include <QString>

#include "platform/foundation/Error.h"

namespace tovrin::net {

// The domain of the session's failures. Its codes mirror the phone platform's URL-loading codes,
// which callers test by number.
inline const QString URLErrorDomain = QStringLiteral("URLErrorDomain");

enum URLErrorCode : qint64 {
    URLErrorUnknown = -1,
    URLErrorCancelled = -999,
    URLErrorBadURL = -1000,
    URLErrorTimedOut = -1001,
    URLErrorUnsupportedURL = -1002,
    URLErrorCannotFindHost = -1003,
    URLErrorCannotConnectToHost = -1004,
    URLErrorNetworkConnectionLost = -1005,
    URLErrorHTTPTooManyRedirects = -1007,
    URLErrorNotConnectedToInternet = -1009,
    URLErrorBadServerResponse = -1011,
    // Never produced by our session: it answers authentication challenges with nothing, so a 401
    // reaches the caller as an answer. Callers still recognise the code.
    URLErrorUserCancelledAuthentication = -1012,
    URLErrorUserAuthenticationRequired = -1013,
    URLErrorCannotParseResponse = -1017,
    URLErrorDataNotAllowed = -1020,
    URLErrorSecureConnectionFailed = -1200,
    URLErrorServerCertificateUntrusted = -1202,
    URLErrorHTTPProxyConnectionFailure = 305,
    URLErrorHTTPSProxyConnectionFailure = 310,
};

inline Error makeURLError(qint64 code, const QString& description = QString()) {
    QVariantMap userInfo;
    if (!description.isEmpty()) userInfo.insert(ErrorDescriptionKey, description);
    return Error(URLErrorDomain, code, userInfo);
}

}  // namespace tovrin::net
