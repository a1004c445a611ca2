#include "Authentication/Screens/UnsecureConnectionViewController.h"

#include <gtest/gtest.h>

#include "API/WebClientTestSupport.h"
#include "AppModule.h"
#include "fixtures/http/LoopbackHTTPServer.h"
#include "platform/di/Injector.h"
#include "platform/foundation/Bundle.h"
#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/views/Window.h"
#include "support/TestSupport.h"
#include "support/UITestSupport.h"

namespace tovrin {
namespace {

using test::LoopbackHTTPServer;

struct ProbeCase {
    const char* name;
    LoopbackHTTPServer::Certificate certificate;
    int certificateIsValidCalls;
};

class UnsecureConnectionTest : public testing::TestWithParam<ProbeCase> {
protected:
    void SetUp() override {
        original = Bundle::main()->infoDictionary();
        Bundle::main()->mergeInfoDictionary(
            {{"TovrinHostURL", server.url().toString()},
             {"TovrinExtraTrustedCAFile", LoopbackHTTPServer::certificateAuthorityFile()}});
        AppModule().configure(injector);
        injector.bindInstance<DeprecatedClientListener>(listeners);
        injector.bindInstance<BannedUserListener>(listeners);
        injector.bindInstance<CertificateMismatchListener>(listeners);
        screen = injector.get<UnsecureConnectionViewController>();
        window.setRootViewController(screen);
        window.show();
        test::drainAnimations();
    }
    void TearDown() override {
        Bundle::main()->mergeInfoDictionary(original);
        Bundle::main()->mergeInfoDictionary({{"TovrinExtraTrustedCAFile", QString()}});
    }
    int calls(const QString& name) const {
        return int(std::count_if(listeners->calls.begin(), listeners->calls.end(),
                                 [&](const auto& call) { return call.name == name; }));
    }

    ui::ImmediateAnimations immediate;
    LoopbackHTTPServer server{GetParam().certificate};
    QVariantMap original;
    Injector injector;
    std::shared_ptr<test::RecordingListeners> listeners = std::make_shared<test::RecordingListeners>();
    ui::Window window;
    std::shared_ptr<UnsecureConnectionViewController> screen;
};

TEST_P(UnsecureConnectionTest, TryAgainProbesTheHostOnceAndLiftsTheWarningOnlyWhenTheCertificateHolds) {
    auto* tryAgain = test::find<ui::Button>(&window, "UnsecureConnectionTryAgainButton");
    ASSERT_NE(tryAgain, nullptr);
    EXPECT_NE(test::findView(&window, "UnsecureConnectionHeaderLabel"), nullptr);
    EXPECT_NE(test::findView(&window, "UnsecureConnectionDetailLabel"), nullptr);
    test::tap(tryAgain);
    ASSERT_TRUE(screen->isProbing());
    test::tap(tryAgain);
    ASSERT_TRUE(test::runUntil([&] { return !screen->isProbing(); }));
    test::drainMainQueue();
    EXPECT_EQ(calls("certificateIsValid"), GetParam().certificateIsValidCalls);
    // The warning stays only because the web client reported the mismatch again.
    EXPECT_EQ(calls("certificateMismatched"), 1 - GetParam().certificateIsValidCalls);
    if (GetParam().certificate == LoopbackHTTPServer::Certificate::Localhost) {
        ASSERT_EQ(server.requests().size(), 1);
        EXPECT_EQ(server.requests().first().path, "/v3/bootstrap");
    }
    test::saveScreenshot(&window, QStringLiteral("unsecure-connection-") + GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Certificates, UnsecureConnectionTest,
    testing::Values(ProbeCase{"OtherHost", LoopbackHTTPServer::Certificate::OtherHost, 0},
                    ProbeCase{"Localhost", LoopbackHTTPServer::Certificate::Localhost, 1}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tovrin
