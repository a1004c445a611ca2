#include "API/TovrinEndpoint.h"

#include <gtest/gtest.h>

#include "API/BootstrapManager.h"
#include "API/BootstrapService.h"
#include "API/ServiceJSONMapper.h"
#include "API/TovrinAPIRequest.h"
#include "API/TovrinServiceError.h"
#include "API/TovrinUploadRequest.h"
#include "API/URLProvider.h"
#include "API/URLService.h"
#include "API/WebClientTestSupport.h"
#include "fixtures/http/LoopbackHTTPServer.h"
#include "platform/foundation/Bundle.h"
#include "support/TestSupport.h"

namespace tovrin {
namespace {

using test::LoopbackHTTPServer;
using test::ScriptedResponse;

// The signed-out client over a host address with a path and a query of its own.
class TovrinEndpointTest : public testing::Test {
protected:
    LoopbackHTTPServer server;
    test::WebClient client;
    std::shared_ptr<Bundle> bundle =
        std::make_shared<Bundle>(QVariantMap{{"TovrinHostURL", server.url().toString() + "/base/?q=1"}});
    std::shared_ptr<TovrinService> service = client.makeService();

    std::shared_ptr<BootstrapService> bootstrapService() const {
        return std::make_shared<BootstrapService>(service, std::make_shared<URLProvider>(bundle),
                                                  std::make_shared<ServiceJSONMapper>());
    }

    std::shared_ptr<TovrinEndpoint> endpoint() const {
        auto urlService =
            std::make_shared<URLService>(std::make_shared<BootstrapManager>(bootstrapService()));
        return std::make_shared<TovrinEndpoint>(urlService, service, client.headerFurnisher);
    }

    Promise<QJsonValue> send(std::shared_ptr<const TovrinRequest> request) {
        auto promise = endpoint()->JSONWithRequest(std::move(request));
        EXPECT_TRUE(test::waitFor(promise));
        return promise;
    }
};

TEST_F(TovrinEndpointTest, RecordsReachTheWireOnTheHostAddress) {
    struct Case {
        const char* name;
        std::shared_ptr<TovrinRequest> request;
        QByteArray method;
        QString path;
        bool hasQuery;
        QString query;
        std::optional<QByteArray> contentType;
        QByteArray body;
    };
    const QJsonObject phrase{{"phrase", "hi"}};
    const Case cases[] = {
        {"no query items remove the host's query",
         TovrinAPIRequest::GETRequestWithPath("/v3/me/prefs", std::nullopt), "GET", "/v3/me/prefs", false, "",
         std::nullopt, ""},
        {"query items replace it",
         TovrinAPIRequest::GETRequestWithPath("/v3/profiles", URLQueryItems{{"pageNumber", "2"}}), "GET",
         "/v3/profiles", true, "pageNumber=2", std::nullopt, ""},
        {"an empty list leaves an empty query",
         TovrinAPIRequest::GETRequestWithPath("/v3/profiles", URLQueryItems{}), "GET", "/v3/profiles", true,
         "", std::nullopt, ""},
        {"POST without a body",
         TovrinAPIRequest::POSTRequestWithPath("/v3/me/favorites/7", std::nullopt, std::nullopt), "POST",
         "/v3/me/favorites/7", false, "", std::nullopt, ""},
        {"DELETE with a body", TovrinAPIRequest::DELETERequestWithPath("/v3/me/blocks", std::nullopt, phrase),
         "DELETE", "/v3/me/blocks", false, "", "application/json", R"({"phrase":"hi"})"},
        {"PUT with a body", TovrinAPIRequest::PUTRequestWithPath("/v3/me/profile", std::nullopt, phrase),
         "PUT", "/v3/me/profile", false, "", "application/json", R"({"phrase":"hi"})"},
        {"a path is encoded", TovrinAPIRequest::GETRequestWithPath("/v3/profiles/a b", std::nullopt), "GET",
         "/v3/profiles/a%20b", false, "", std::nullopt, ""},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        ASSERT_TRUE(send(testCase.request).isFulfilled());
        const auto& received = server.requests().last();
        EXPECT_EQ(received.method, testCase.method);
        EXPECT_EQ(received.path, testCase.path);
        EXPECT_EQ(received.hasQuery, testCase.hasQuery);
        EXPECT_EQ(received.query, testCase.query);
        EXPECT_EQ(received.header("Content-Type"), testCase.contentType);
        EXPECT_EQ(received.body, testCase.body);
        EXPECT_EQ(received.header("User-Agent"), "Tovrin3/3.0 (42; iPhone; iOS 8.1)");
        EXPECT_EQ(received.header("Accept"), "application/json");
    }
}

TEST_F(TovrinEndpointTest, FailuresOfTheClientPassThrough) {
    server.enqueue(ScriptedResponse::json(403, R"({"code":27,"message":""})"));
    const auto promise = send(TovrinAPIRequest::GETRequestWithPath("/v3/me", std::nullopt));
    ASSERT_TRUE(promise.isRejected());
    EXPECT_EQ(promise.error()->code(), TovrinServiceErrorUserBanned);
}

TEST_F(TovrinEndpointTest, WithoutAUsableHostAddressNothingIsSent) {
    for (const QVariant& host : {QVariant(), QVariant(""), QVariant("not an address"),
                                 QVariant("ftp://host.example"), QVariant("http://"), QVariant(8480)}) {
        SCOPED_TRACE(host.toString().toStdString());
        bundle =
            std::make_shared<Bundle>(host.isValid() ? QVariantMap{{"TovrinHostURL", host}} : QVariantMap());
        const auto promise = send(TovrinAPIRequest::GETRequestWithPath("/v3/me", std::nullopt));
        ASSERT_TRUE(promise.isRejected());
        EXPECT_EQ(*promise.error(), tovrinServiceError(TovrinServiceErrorGeneric));
        const auto webURL = bootstrapService()->retrieveAuthenticationWebURL();
        ASSERT_TRUE(test::waitFor(webURL));
        EXPECT_EQ(*webURL.error(), tovrinServiceError(TovrinServiceErrorGeneric));
    }
    EXPECT_TRUE(server.requests().isEmpty());
}

class UnknownRequest : public TovrinAPIRequest {
public:
    UnknownRequest() : TovrinAPIRequest("GET", "/", std::nullopt, std::nullopt) {}
    TovrinRequestType serviceType() const override { return 7; }
};

using TovrinEndpointDeathTest = TovrinEndpointTest;

TEST_F(TovrinEndpointDeathTest, ARequestOfAnotherServiceTypeStopsTheProcess) {
    const auto upload = TovrinUploadRequest::POSTRequestWithPath("/v3/me/pics", std::nullopt,
                                                                 QByteArray("jpeg"), "image/jpeg");
    EXPECT_DEATH(endpoint()->JSONWithRequest(upload), "Unhandled TovrinRequestType");
    EXPECT_DEATH(endpoint()->JSONWithRequest(std::make_shared<UnknownRequest>()),
                 "Unhandled TovrinRequestType");
}

TEST_F(TovrinEndpointTest, TheAPIAddressIsTheConfiguredHostWithoutARequest) {
    BootstrapManager manager(bootstrapService());
    const auto first = manager.retrieveUnauthenticatedApiURL();
    EXPECT_EQ(first.value(), QUrl(server.url().toString() + "/base/?q=1"));
    EXPECT_EQ(manager.retrieveUnauthenticatedApiURL().value(), first.value());
    test::drainMainQueue();
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(TovrinEndpointTest, TheAuthenticationWebAddressComesFromTheBootstrapCall) {
    bundle = std::make_shared<Bundle>(QVariantMap{{"TovrinHostURL", server.url().toString() + "/base"}});
    server.enqueue(ScriptedResponse::json(200, R"({"services":{"authenticationWeb":[
        {"protocol":"https","host":"auth.tovrin.example","port":443},
        {"protocol":"http","host":"second.example","port":80}]}})"));
    const auto webURL = bootstrapService()->retrieveAuthenticationWebURL();
    ASSERT_TRUE(test::waitFor(webURL));
    EXPECT_EQ(webURL.value(), QUrl("https://auth.tovrin.example:443"));
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(server.requests().first().method, "GET");
    EXPECT_EQ(server.requests().first().path, "/base/v3/bootstrap");
    EXPECT_FALSE(server.requests().first().header("Authorization").has_value());
    EXPECT_FALSE(server.requests().first().header("Content-Type").has_value());

    server.enqueue(ScriptedResponse::json(200, R"({"services":{}})"));
    const auto missing = bootstrapService()->retrieveAuthenticationWebURL();
    ASSERT_TRUE(test::waitFor(missing));
    EXPECT_EQ(missing.value(), QUrl());
}

TEST_F(TovrinEndpointTest, TheManagerSharesARunningCallKeepsASuccessAndRepeatsAFailure) {
    BootstrapManager manager(bootstrapService());
    const QByteArray answer =
        R"({"services":{"authenticationWeb":[{"protocol":"https","host":"a.example"}]}})";
    server.enqueue(ScriptedResponse::empty(503));
    server.enqueue(ScriptedResponse::json(200, answer));

    const auto failing = manager.retrieveUnauthenticatedWebURL();
    const auto sharing = manager.retrieveUnauthenticatedWebURL();
    ASSERT_TRUE(test::waitFor(sharing));
    EXPECT_EQ(*failing.error(), tovrinServiceError(TovrinServiceErrorServerError));
    EXPECT_EQ(*sharing.error(), *failing.error());
    EXPECT_EQ(server.requests().size(), 1);

    const auto succeeding = manager.retrieveUnauthenticatedWebURL();
    ASSERT_TRUE(test::waitFor(succeeding));
    EXPECT_EQ(succeeding.value(), QUrl("https://a.example"));
    EXPECT_EQ(manager.retrieveUnauthenticatedWebURL().value(), succeeding.value());
    test::drainMainQueue();
    EXPECT_EQ(server.requests().size(), 2);
}

}  // namespace
}  // namespace tovrin
