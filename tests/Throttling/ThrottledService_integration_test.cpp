#include "Throttling/ThrottledService.h"

#include <gtest/gtest.h>

#include "API/BootstrapManager.h"
#include "API/BootstrapService.h"
#include "API/ServiceJSONMapper.h"
#include "API/TovrinAPIRequest.h"
#include "API/TovrinEndpoint.h"
#include "API/URLProvider.h"
#include "API/URLService.h"
#include "API/WebClientTestSupport.h"
#include "Helpers/DeviceCurrentDateProvider.h"
#include "Throttling/RandomValueGenerator.h"
#include "Throttling/TovrinWebAPIThrottler.h"
#include "fixtures/http/LoopbackHTTPServer.h"
#include "platform/foundation/Bundle.h"
#include "support/TestSupport.h"

namespace tovrin {
namespace {

using test::LoopbackHTTPServer;
using test::ScriptedResponse;

class ProfileLikeService : public ThrottledService {
public:
    using ThrottledService::ThrottledService;
    Promise<QJsonValue> fetch() {
        return JSONWithRequest(TovrinAPIRequest::GETRequestWithPath("/v3/a", std::nullopt));
    }
};

class OtherService : public ThrottledService {
public:
    using ThrottledService::ThrottledService;
    Promise<QJsonValue> fetch() {
        return JSONWithRequest(TovrinAPIRequest::GETRequestWithPath("/v3/b", std::nullopt));
    }
};

class ThrottledServiceTest : public testing::Test {
protected:
    LoopbackHTTPServer server;
    test::WebClient client;
    std::shared_ptr<TovrinWebAPIThrottler> throttler = std::make_shared<TovrinWebAPIThrottler>(
        std::make_shared<DeviceCurrentDateProvider>(), std::make_shared<RandomValueGenerator>());

    std::shared_ptr<TovrinEndpoint> endpoint() const {
        auto service = client.makeService();
        auto bundle = std::make_shared<Bundle>(QVariantMap{{"TovrinHostURL", server.url().toString()}});
        auto bootstrap = std::make_shared<BootstrapService>(service, std::make_shared<URLProvider>(bundle),
                                                            std::make_shared<ServiceJSONMapper>());
        auto urlService = std::make_shared<URLService>(std::make_shared<BootstrapManager>(bootstrap));
        return std::make_shared<TovrinEndpoint>(urlService, service, client.headerFurnisher);
    }

    template <class Service>
    std::shared_ptr<Service> make() const {
        return std::make_shared<Service>(endpoint(), throttler);
    }

    static qint64 failureCode(Promise<QJsonValue> promise) {
        EXPECT_TRUE(test::waitFor(promise));
        return promise.isRejected() ? promise.error()->code() : 0;
    }
};

TEST_F(ThrottledServiceTest, ThreeServerErrorsRefuseEveryInstanceOfThatClassOnly) {
    server.setHandler([](const auto&) { return ScriptedResponse::empty(500); });
    auto first = make<ProfileLikeService>();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(failureCode(first->fetch()), 12);
    ASSERT_EQ(server.requests().size(), 3);

    EXPECT_EQ(failureCode(first->fetch()), 13);
    EXPECT_EQ(failureCode(make<ProfileLikeService>()->fetch()), 13);
    EXPECT_EQ(server.requests().size(), 3);

    EXPECT_EQ(failureCode(make<OtherService>()->fetch()), 12);
    EXPECT_EQ(server.requests().size(), 4);
}

TEST_F(ThrottledServiceTest, ASuccessClearsTheRun) {
    auto service = make<ProfileLikeService>();
    for (int i = 0; i < 2; ++i) {
        server.enqueue(ScriptedResponse::empty(503));
        EXPECT_EQ(failureCode(service->fetch()), 12);
    }
    server.enqueue(ScriptedResponse::json(200, "{}"));
    EXPECT_EQ(failureCode(service->fetch()), 0);
    for (int i = 0; i < 2; ++i) {
        server.enqueue(ScriptedResponse::empty(500));
        EXPECT_EQ(failureCode(service->fetch()), 12);
    }
    EXPECT_EQ(failureCode(service->fetch()), 0);  // the default answer: 200
}

}  // namespace
}  // namespace tovrin
