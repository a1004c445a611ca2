#include <gtest/gtest.h>

#include "API/TovrinAPIRequest.h"
#include "API/TovrinEndpoint.h"
#include "API/WebClientTestSupport.h"
#include "AppModule.h"
#include "fixtures/http/LoopbackHTTPServer.h"
#include "platform/di/Injector.h"
#include "platform/foundation/Bundle.h"
#include "support/TestSupport.h"

namespace tovrin {
namespace {

using test::LoopbackHTTPServer;

// The information dictionary's overrides point the client at a TLS server whose authority it is
// told to trust.
TEST(AppModuleIntegration, TheContainersClientReachesTheConfiguredHostThroughTheExtraAuthority) {
    LoopbackHTTPServer server(LoopbackHTTPServer::Certificate::Localhost);
    const QVariantMap original = Bundle::main()->infoDictionary();
    Bundle::main()->mergeInfoDictionary(
        {{"TovrinHostURL", server.url().toString()},
         {"TovrinExtraTrustedCAFile", LoopbackHTTPServer::certificateAuthorityFile()}});
    Injector injector;
    AppModule().configure(injector);
    auto listeners = std::make_shared<test::RecordingListeners>();
    injector.bindInstance<DeprecatedClientListener>(listeners);
    injector.bindInstance<BannedUserListener>(listeners);
    injector.bindInstance<CertificateMismatchListener>(listeners);

    auto promise = injector.get<TovrinEndpoint>()->JSONWithRequest(
        TovrinAPIRequest::GETRequestWithPath("/v3/managed-fields", std::nullopt));
    ASSERT_TRUE(test::waitFor(promise));
    Bundle::main()->mergeInfoDictionary(original);
    Bundle::main()->mergeInfoDictionary({{"TovrinExtraTrustedCAFile", QString()}});

    ASSERT_TRUE(promise.isFulfilled()) << promise.error()->description().toStdString();
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(server.requests().first().path, "/v3/managed-fields");
    EXPECT_TRUE(server.requests().first().header("User-Agent")->startsWith("Tovrin3/3.0 (1; Desktop; "));
    EXPECT_TRUE(listeners->calls.empty());
}

}  // namespace
}  // namespace tovrin
