#include "platform/net/URLErrorMapping.h"

#include "platform/net/URLError.h"

namespace tovrin::net {

namespace {

using E = QNetworkReply::NetworkError;

struct Row {
    E error;
    qint64 code;
};

// Proxy failures depend on the scheme and are decided apart.
constexpr Row Table[] = {
    {E::ConnectionRefusedError, URLErrorCannotConnectToHost},
    {E::RemoteHostClosedError, URLErrorNetworkConnectionLost},
    {E::HostNotFoundError, URLErrorCannotFindHost},
    {E::TimeoutError, URLErrorTimedOut},
    {E::OperationCanceledError, URLErrorCancelled},
    {E::SslHandshakeFailedError, URLErrorSecureConnectionFailed},
    {E::TemporaryNetworkFailureError, URLErrorNotConnectedToInternet},
    {E::NetworkSessionFailedError, URLErrorNotConnectedToInternet},
    {E::BackgroundRequestNotAllowedError, URLErrorDataNotAllowed},
    {E::TooManyRedirectsError, URLErrorHTTPTooManyRedirects},
    {E::InsecureRedirectError, URLErrorHTTPTooManyRedirects},
    {E::UnknownNetworkError, URLErrorUnknown},
    {E::ProtocolUnknownError, URLErrorUnsupportedURL},
    {E::ProtocolInvalidOperationError, URLErrorUnsupportedURL},
    {E::ProtocolFailure, URLErrorCannotParseResponse},
    {E::AuthenticationRequiredError, URLErrorUserAuthenticationRequired},
    {E::NoError, URLErrorBadServerResponse},  // finished without a status line
};

bool isProxyError(E error) {
    return error >= E::ProxyConnectionRefusedError && error <= E::UnknownProxyError;
}

// Failures to reach the host at all; while the system has no network they mean "not connected".
bool isConnectionFailure(E error) {
    switch (error) {
        case E::ConnectionRefusedError:
        case E::RemoteHostClosedError:
        case E::HostNotFoundError:
        case E::TimeoutError:
        case E::UnknownNetworkError:
        case E::TemporaryNetworkFailureError:
        case E::NetworkSessionFailedError:
            return true;
        default:
            return isProxyError(error);
    }
}

bool isHTTPStatusError(E error) {
    return (error >= E::ContentAccessDenied && error <= E::UnknownContentError) ||
           (error >= E::InternalServerError && error <= E::UnknownServerError);
}

}  // namespace

bool URLErrorMapping::isTransportFailure(E error) {
    return error >= E::ConnectionRefusedError && error <= E::UnknownNetworkError;
}

qint64 URLErrorMapping::codeForFailure(const NetworkFailure& failure) {
    if (failure.timedOut) return URLErrorTimedOut;
    if (failure.certificateRejected) return URLErrorServerCertificateUntrusted;
    if (!failure.networkReachable && isConnectionFailure(failure.error))
        return URLErrorNotConnectedToInternet;
    if (isProxyError(failure.error)) {
        return failure.secure ? URLErrorHTTPSProxyConnectionFailure : URLErrorHTTPProxyConnectionFailure;
    }
    for (const Row& row : Table) {
        if (row.error == failure.error) return row.code;
    }
    // Qt's errors for HTTP statuses, here without a status line.
    return isHTTPStatusError(failure.error) ? URLErrorBadServerResponse : URLErrorUnknown;
}

}  // namespace tovrin::net
