#include "platform/net/URLCache.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "fixtures/http/LoopbackHTTPServer.h"
#include "fixtures/net/FakeReachability.h"
#include "platform/net/URLSession.h"
#include "support/TestSupport.h"

namespace tovrin::net {
namespace {

using test::LoopbackHTTPServer;
using test::ScriptedResponse;

constexpr qint64 Capacity = 10 * 1024 * 1024;

class URLCacheTest : public testing::Test {
protected:
    std::shared_ptr<URLSession> makeSession(URLRequestCachePolicy policy) {
        URLSessionConfiguration configuration;
        configuration.requestCachePolicy = policy;
        configuration.URLCache = cache;
        return std::make_shared<URLSession>(configuration, std::make_shared<test::FakeReachability>());
    }

    DataTaskResponse get(URLSession& session, const QString& path) {
        auto promise = session.dataTaskPromise(URLRequest(server.url(path)));
        EXPECT_TRUE(test::waitFor(promise));
        EXPECT_TRUE(promise.isFulfilled());
        return promise.value().value_or(DataTaskResponse{});
    }

    static ScriptedResponse answer(int status, const QByteArray& body) {
        ScriptedResponse response = ScriptedResponse::empty(status);
        response.headers = {{"Content-Type", "image/png"}};
        response.body = body;
        return response;
    }

    QTemporaryDir folder;
    std::shared_ptr<URLCache> cache = std::make_shared<URLCache>(folder.filePath("images"), Capacity);
    LoopbackHTTPServer server;
};

TEST_F(URLCacheTest, ASessionPreferringTheCacheAnswersAgainFromIt) {
    auto session = makeSession(URLRequestCachePolicy::ReturnCacheDataElseLoad);
    server.enqueue(answer(200, "photo"));

    EXPECT_EQ(get(*session, "/a").data, "photo");
    const DataTaskResponse again = get(*session, "/a");

    EXPECT_EQ(server.requests().size(), 1);
    EXPECT_EQ(again.response.statusCode(), 200);
    EXPECT_EQ(again.data, "photo");
    const auto cached = cache->cachedResponseForRequest(URLRequest(server.url("/a")));
    ASSERT_TRUE(cached.has_value());
    EXPECT_EQ(cached->data, "photo");
    EXPECT_EQ(cached->response.statusCode(), 200);
    EXPECT_EQ(cached->response.valueForHTTPHeaderField("content-type"), "image/png");
    EXPECT_GT(cache->currentDiskUsage(), 0);
}

TEST_F(URLCacheTest, OnlyFullAnswersAreKept) {
    auto session = makeSession(URLRequestCachePolicy::ReturnCacheDataElseLoad);
    // An error page kept would stand for the photo for good.
    for (const auto& [path, first] : std::vector<std::pair<QString, ScriptedResponse>>{
             {"/missing", answer(404, "<html>Not Found</html>")},
             {"/failing", answer(500, "oops")},
             {"/empty", answer(200, "")}}) {
        SCOPED_TRACE(path.toStdString());
        server.enqueue(first);
        server.enqueue(answer(200, "photo"));
        get(*session, path);
        EXPECT_FALSE(cache->cachedResponseForRequest(URLRequest(server.url(path))).has_value());

        EXPECT_EQ(get(*session, path).data, "photo");
    }
    EXPECT_EQ(server.requests().size(), 6);
}

TEST_F(URLCacheTest, ASessionOfTheUsualPolicyGoesToTheNetworkEachTime) {
    auto session = makeSession(URLRequestCachePolicy::UseProtocolCachePolicy);
    server.enqueue(answer(200, "one"));
    server.enqueue(answer(200, "two"));
    EXPECT_EQ(get(*session, "/a").data, "one");
    EXPECT_EQ(get(*session, "/a").data, "two");
}

TEST_F(URLCacheTest, StoredAnswersServeSessionsAndLaterCachesOverTheSameFolder) {
    const URLRequest request(server.url("/stored"));
    cache->storeCachedResponse({HTTPURLResponse(request.URL(), 200, {{"Content-Type", "image/png"}}), "kept"},
                               request);
    auto session = makeSession(URLRequestCachePolicy::ReturnCacheDataElseLoad);
    EXPECT_EQ(get(*session, "/stored").data, "kept");
    EXPECT_TRUE(server.requests().isEmpty());

    // An empty body is kept but never served.
    const URLRequest empty(server.url("/empty"));
    cache->storeCachedResponse({HTTPURLResponse(empty.URL(), 200, {}), ""}, empty);
    ASSERT_TRUE(cache->cachedResponseForRequest(empty).has_value());
    server.enqueue(answer(200, "photo"));
    EXPECT_EQ(get(*session, "/empty").data, "photo");
    EXPECT_EQ(server.requests().size(), 1);

    URLCache relaunched(folder.filePath("images"), Capacity);
    EXPECT_EQ(relaunched.cachedResponseForRequest(request)->data, "kept");
    relaunched.removeCachedResponseForRequest(request);
    EXPECT_FALSE(relaunched.cachedResponseForRequest(request).has_value());

    cache->storeCachedResponse({HTTPURLResponse(request.URL(), 200, {}), "again"}, request);
    cache->removeAllCachedResponses();
    EXPECT_FALSE(cache->cachedResponseForRequest(request).has_value());
}

}  // namespace
}  // namespace tovrin::net
