#include "platform/net/URLErrorMapping.h"

#include <gtest/gtest.h>

#include "platform/net/URLError.h"

namespace tovrin::net {
namespace {

using E = QNetworkReply::NetworkError;

TEST(URLErrorMapping, EachQtFailureHasItsURLLoadingCode) {
    struct Case {
        E error;
        qint64 code;
    };
    const Case cases[] = {
        {E::ConnectionRefusedError, -1004},
        {E::RemoteHostClosedError, -1005},
        {E::HostNotFoundError, -1003},
        {E::TimeoutError, -1001},
        {E::OperationCanceledError, -999},
        {E::SslHandshakeFailedError, -1200},
        {E::TemporaryNetworkFailureError, -1009},
        {E::NetworkSessionFailedError, -1009},
        {E::BackgroundRequestNotAllowedError, -1020},
        {E::TooManyRedirectsError, -1007},
        {E::InsecureRedirectError, -1007},
        {E::UnknownNetworkError, -1},
        {E::ProtocolUnknownError, -1002},
        {E::ProtocolInvalidOperationError, -1002},
        {E::ProtocolFailure, -1017},
        {E::AuthenticationRequiredError, -1013},
        {E::ContentNotFoundError, -1011},
        {E::InternalServerError, -1011},
        {E::NoError, -1011},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.error);
        EXPECT_EQ(URLErrorMapping::codeForFailure({.error = testCase.error}), testCase.code);
    }
}

TEST(URLErrorMapping, ProxyFailuresDependOnTheScheme) {
    for (const E error :
         {E::ProxyConnectionRefusedError, E::ProxyConnectionClosedError, E::ProxyNotFoundError,
          E::ProxyTimeoutError, E::ProxyAuthenticationRequiredError, E::UnknownProxyError}) {
        SCOPED_TRACE(error);
        EXPECT_EQ(URLErrorMapping::codeForFailure({.error = error, .secure = true}),
                  URLErrorHTTPSProxyConnectionFailure);
        EXPECT_EQ(URLErrorMapping::codeForFailure({.error = error, .secure = false}),
                  URLErrorHTTPProxyConnectionFailure);
    }
}

TEST(URLErrorMapping, OurTimerAndARejectedCertificateDecideFirst) {
    EXPECT_EQ(URLErrorMapping::codeForFailure({.error = E::OperationCanceledError, .timedOut = true}), -1001);
    EXPECT_EQ(
        URLErrorMapping::codeForFailure({.error = E::SslHandshakeFailedError, .certificateRejected = true}),
        -1202);
}

TEST(URLErrorMapping, NotConnectedOnlyWhenTheSystemHasNoNetworkAndTheConnectionFailed) {
    struct Case {
        E error;
        bool reachable;
        qint64 code;
    };
    const Case cases[] = {
        {E::HostNotFoundError, true, -1003},  // a failed lookup alone is no proof
        {E::HostNotFoundError, false, -1009},     {E::ConnectionRefusedError, false, -1009},
        {E::UnknownNetworkError, false, -1009},   {E::ProxyConnectionRefusedError, false, -1009},
        {E::OperationCanceledError, false, -999}, {E::ProtocolFailure, false, -1017},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.error);
        EXPECT_EQ(URLErrorMapping::codeForFailure(
                      {.error = testCase.error, .networkReachable = testCase.reachable}),
                  testCase.code);
    }
}

TEST(URLErrorMapping, OnlyConnectionFailuresKeepAStatusLineFromBeingAnAnswer) {
    EXPECT_TRUE(URLErrorMapping::isTransportFailure(E::RemoteHostClosedError));
    EXPECT_TRUE(URLErrorMapping::isTransportFailure(E::OperationCanceledError));
    EXPECT_FALSE(URLErrorMapping::isTransportFailure(E::NoError));
    EXPECT_FALSE(URLErrorMapping::isTransportFailure(E::AuthenticationRequiredError));       // 401
    EXPECT_FALSE(URLErrorMapping::isTransportFailure(E::ProtocolInvalidOperationError));     // 400
    EXPECT_FALSE(URLErrorMapping::isTransportFailure(E::ProxyAuthenticationRequiredError));  // 407
    EXPECT_FALSE(URLErrorMapping::isTransportFailure(E::UnknownServerError));                // 600
}

}  // namespace
}  // namespace tovrin::net
