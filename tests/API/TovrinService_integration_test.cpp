#include "API/TovrinService.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkProxy>
#include <QTcpServer>
#include <atomic>

#include "API/TovrinServiceError.h"
#include "API/WebClientTestSupport.h"
#include "fixtures/http/LoopbackHTTPServer.h"
#include "platform/net/URLError.h"
#include "support/TestSupport.h"

namespace tovrin {
namespace {

using test::LoopbackHTTPServer;
using test::ScriptedResponse;

QJsonValue json(const char* text) {
    const QJsonDocument document = QJsonDocument::fromJson(text);
    return document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
}

ScriptedResponse withHeader(ScriptedResponse response, const QByteArray& name, const QByteArray& value) {
    response.headers.append(qMakePair(name, value));
    return response;
}

class TovrinServiceTest : public testing::Test {
protected:
    LoopbackHTTPServer server;
    test::WebClient client;

    Promise<QJsonValue> send(TovrinService& service, const QUrl& url) {
        auto promise = service.JSONWithURLRequest(service.GETRequestWithURL(url, std::nullopt));
        client.listeners->watched = promise;
        EXPECT_TRUE(test::waitFor(promise));
        return promise;
    }

    void expectFailure(const Promise<QJsonValue>& promise, qint64 code) {
        ASSERT_TRUE(promise.isRejected());
        EXPECT_EQ(promise.error()->domain(), TovrinServiceErrorDomain);
        EXPECT_EQ(promise.error()->code(), code);
        EXPECT_TRUE(promise.error()->userInfo().isEmpty());
    }

    // Each listener call, in order; every one came while the promise was still pending.
    QStringList listenerCalls() {
        QStringList names;
        for (const auto& call : client.listeners->calls) {
            EXPECT_TRUE(call.promiseWasPending) << call.name.toStdString();
            names.append(call.name);
        }
        client.listeners->calls.clear();
        return names;
    }
};

TEST_F(TovrinServiceTest, SuccessfulAnswersFulfilWithTheirJSONAndUnreadableOnesFailWith9) {
    struct Case {
        const char* name;
        ScriptedResponse response;
        std::optional<QJsonValue> value;  // nothing: fails with 9
    };
    const Case cases[] = {
        {"empty object", ScriptedResponse::json(200, "{}"), json("{}")},
        {"empty array", ScriptedResponse::json(200, "[]"), json("[]")},
        {"object", ScriptedResponse::json(200, R"({"profiles":[{"profileId":"7"}],"ttl":60})"),
         json(R"({"profiles":[{"profileId":"7"}],"ttl":60})")},
        {"201 with an array", ScriptedResponse::json(201, "[1,2]"), json("[1,2]")},
        {"empty body", ScriptedResponse::json(200, ""), std::nullopt},
        {"204", ScriptedResponse::empty(204), std::nullopt},
        {"null", ScriptedResponse::json(200, "null"), std::nullopt},
        {"bare number", ScriptedResponse::json(200, "42"), std::nullopt},
        {"not JSON", ScriptedResponse::json(200, "<html></html>"), std::nullopt},
    };
    auto service = client.makeService();
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        server.enqueue(testCase.response);
        const auto promise = send(*service, server.url("/v3/me/prefs"));
        if (testCase.value) {
            ASSERT_TRUE(promise.isFulfilled());
            EXPECT_EQ(*promise.value(), *testCase.value);
        } else {
            expectFailure(promise, TovrinServiceErrorDataNotReadable);
        }
        EXPECT_TRUE(listenerCalls().isEmpty());
    }
}

TEST_F(TovrinServiceTest, ErrorAnswersMapToServiceCodesAndTellTheirListenerFirst) {
    struct Case {
        const char* name;
        ScriptedResponse response;
        qint64 code;
        QStringList listenerCalls;
    };
    const auto body = [](int status, const char* text) { return ScriptedResponse::json(status, text); };
    const Case cases[] = {
        {"404 code 4", body(404, R"({"code":4,"message":"no such member"})"), 2, {}},
        {"401 read as any 4xx", body(401, R"({"code":24,"message":"wrong"})"), 5, {}},
        {"401 with a challenge",
         withHeader(body(401, R"({"code":4,"message":"m"})"), "WWW-Authenticate", "Basic realm=\"t\""),
         2,
         {}},
        {"code 8", body(426, R"({"code":8,"message":"update"})"), 3, {"clientIsDeprecated"}},
        {"code 22", body(409, R"({"code":22,"message":"taken"})"), 4, {}},
        {"code 22 as text", body(409, R"({"code":"22","message":""})"), 4, {}},
        {"code 24", body(400, R"({"code":24,"message":"m"})"), 5, {}},
        {"code 27, empty message", body(403, R"({"code":27,"message":""})"), 6, {"userIsBanned"}},
        {"code 33", body(400, R"({"code":33,"message":"m"})"), 7, {}},
        {"code 34", body(400, R"({"code":34,"message":"m"})"), 8, {}},
        {"code 51", body(429, R"({"code":51,"message":"m"})"), 17, {}},
        {"code 0", body(400, R"({"code":0,"message":"m"})"), 1, {}},
        {"code 99", body(400, R"({"code":99,"message":"m"})"), 1, {}},
        {"code null", body(400, R"({"code":null,"message":"m"})"), 1, {}},
        {"no message", body(400, R"({"code":27})"), 1, {}},
        {"no code", body(400, R"({"message":"m"})"), 1, {}},
        {"an array", body(400, R"([{"code":27,"message":"m"}])"), 1, {}},
        {"not JSON", body(400, "Bad Request"), 1, {}},
        {"no body", ScriptedResponse::empty(400), 1, {}},
        {"500 whatever its body", body(500, R"({"code":27,"message":"m"})"), 12, {}},
        {"503", ScriptedResponse::empty(503), 12, {}},
        {"302", withHeader(ScriptedResponse::empty(302), "Location", "/elsewhere"), 1, {}},
        {"199", ScriptedResponse::empty(199), 1, {}},
        {"600", body(600, "{}"), 1, {}},
    };
    auto service = client.makeService();
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        server.enqueue(testCase.response);
        expectFailure(send(*service, server.url("/v3/me")), testCase.code);
        EXPECT_EQ(listenerCalls(), testCase.listenerCalls);
    }
    EXPECT_EQ(server.requests().size(), std::size(cases));
}

TEST_F(TovrinServiceTest, ListenersAreToldAtEveryOccurrence) {
    auto service = client.makeService();
    for (int round = 0; round < 2; ++round) {
        server.enqueue(ScriptedResponse::json(403, R"({"code":27,"message":"banned"})"));
        expectFailure(send(*service, server.url("/v3/me")), 6);
    }
    EXPECT_EQ(listenerCalls(), QStringList({"userIsBanned", "userIsBanned"}));
}

TEST_F(TovrinServiceTest, TransportFailuresAgainstRealServers) {
    LoopbackHTTPServer untrusted(LoopbackHTTPServer::Certificate::Localhost);
    expectFailure(send(*client.makeService(), untrusted.url("/v3/me")), 15);
    EXPECT_EQ(listenerCalls(), QStringList{"certificateMismatched"});

    server.enqueue(ScriptedResponse::hang());
    expectFailure(send(*client.makeService(0.2), server.url("/v3/slow")), 1);  // timed out

    server.setHandler([](const auto&) { return ScriptedResponse::drop(); });
    expectFailure(send(*client.makeService(), server.url("/v3/dropped")), 1);

    expectFailure(send(*client.makeService(), test::closedPortURL()), 1);
    client.reachability->setStatus(net::NetworkStatus::NotReachable);
    expectFailure(send(*client.makeService(), test::closedPortURL()), 16);
    EXPECT_TRUE(listenerCalls().isEmpty());
}

// A session that fails every request with the given error, for the codes our session never makes.
class FailingSession : public net::URLSession {
public:
    explicit FailingSession(Error error) : URLSession({}, nullptr), error_(std::move(error)) {}
    Promise<net::DataTaskResponse> dataTaskPromise(const net::URLRequest&) override {
        return Promise<net::DataTaskResponse>::rejected(error_);
    }

private:
    Error error_;
};

TEST_F(TovrinServiceTest, URLLoadingErrorsMapToServiceCodes) {
    struct Case {
        Error error;
        qint64 code;
        QStringList listenerCalls;
    };
    const Case cases[] = {
        {net::makeURLError(-1202), 15, {"certificateMismatched"}},
        {net::makeURLError(310), 1, {}},  // an HTTPS proxy that failed
        {net::makeURLError(305), 1, {}},
        {net::makeURLError(-1009), 16, {}},
        {net::makeURLError(-1001), 1, {}},
        {net::makeURLError(-1012), 1, {}},
        {net::makeURLError(-1004), 1, {}},
        {Error("OtherDomain", -1202), 1, {}},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.error.description().toStdString());
        auto service = client.makeService(std::make_shared<FailingSession>(testCase.error));
        expectFailure(send(*service, server.url("/")), testCase.code);
        EXPECT_EQ(listenerCalls(), testCase.listenerCalls);
    }
}

// Sets the process's proxy for the test's lifetime.
class ApplicationProxy {
public:
    explicit ApplicationProxy(quint16 port) : original_(QNetworkProxy::applicationProxy()) {
        QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", port));
    }
    ~ApplicationProxy() { QNetworkProxy::setApplicationProxy(original_); }

private:
    QNetworkProxy original_;
};

// A proxy that cannot be reached, or that refuses the tunnel, is a connection that failed: code 1,
// never the certificate screen. The hosts behind it are never looked up.
TEST_F(TovrinServiceTest, AProxyThatFailsIsAConnectionFailureNotACertificateMismatch) {
    LoopbackHTTPServer forbiddingProxy;
    forbiddingProxy.setHandler([](const auto&) { return ScriptedResponse::empty(403); });
    LoopbackHTTPServer challengingProxy;
    challengingProxy.setHandler([](const auto&) {
        return withHeader(ScriptedResponse::empty(407), "Proxy-Authenticate", "Basic realm=\"proxy\"");
    });
    const auto closedPort = quint16(test::closedPortURL().port());
    const auto port = [](const LoopbackHTTPServer& server) { return quint16(server.url().port()); };
    struct Case {
        const char* name;
        quint16 proxyPort;
        QUrl url;
        std::optional<qint64> urlErrorCode;  // the session's, where the platform names the proxy
    };
    const Case cases[] = {
        {"closed port, http", closedPort, QUrl("http://api.tovrin.test/v3/me"), std::nullopt},
        {"closed port, https", closedPort, QUrl("https://api.tovrin.test/v3/me"), std::nullopt},
        {"tunnel forbidden", port(forbiddingProxy), QUrl("https://api.tovrin.test/v3/me"), std::nullopt},
        {"tunnel needs credentials", port(challengingProxy), QUrl("https://api.tovrin.test/v3/me"),
         net::URLErrorHTTPSProxyConnectionFailure},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        ApplicationProxy proxy(testCase.proxyPort);
        net::URLSession session({}, client.reachability);
        const auto direct = session.dataTaskPromise(net::URLRequest(testCase.url));
        ASSERT_TRUE(test::waitFor(direct));
        ASSERT_TRUE(direct.isRejected());
        EXPECT_NE(direct.error()->code(), net::URLErrorServerCertificateUntrusted);
        if (testCase.urlErrorCode) {
            EXPECT_EQ(direct.error()->code(), *testCase.urlErrorCode);
        }

        expectFailure(send(*client.makeService(), testCase.url), TovrinServiceErrorGeneric);
        EXPECT_TRUE(listenerCalls().isEmpty());
    }
    for (const LoopbackHTTPServer* proxy : {&forbiddingProxy, &challengingProxy}) {
        ASSERT_FALSE(proxy->requests().isEmpty());
        for (const auto& request : proxy->requests()) EXPECT_EQ(request.method, "CONNECT");
    }
}

// A DELETE has nothing to read in its answer: an empty 2xx body fulfils with an undefined value. Every
// other request still needs JSON, and a DELETE's body, when there is one, is still read.
TEST_F(TovrinServiceTest, AnEmptySuccessfulAnswerToADeleteFulfils) {
    struct Case {
        const char* name;
        QByteArray method;
        ScriptedResponse response;
        std::optional<QJsonValue> value;  // nothing: fails with 9
    };
    const Case cases[] = {
        {"DELETE, 204", "DELETE", ScriptedResponse::empty(204), QJsonValue(QJsonValue::Undefined)},
        {"DELETE, 200 empty", "DELETE", ScriptedResponse::json(200, ""), QJsonValue(QJsonValue::Undefined)},
        {"DELETE, 200 object", "DELETE", ScriptedResponse::json(200, R"({"a":1})"), json(R"({"a":1})")},
        {"DELETE, 200 null", "DELETE", ScriptedResponse::json(200, "null"), std::nullopt},
        {"GET, 204", "GET", ScriptedResponse::empty(204), std::nullopt},
        {"POST, 200 empty", "POST", ScriptedResponse::json(200, ""), std::nullopt},
    };
    auto service = client.makeService();
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        server.enqueue(testCase.response);
        const QUrl url = server.url("/v3/push-tokens/00ab");
        const net::URLRequest request =
            testCase.method == "DELETE" ? service->DELETERequestWithURL(url, std::nullopt)
            : testCase.method == "POST"
                ? service->POSTRequestWithURLJSONBody(url, std::nullopt, QJsonObject())
                : service->GETRequestWithURL(url, std::nullopt);
        const auto promise = service->JSONWithURLRequest(request);
        ASSERT_TRUE(test::waitFor(promise));
        EXPECT_EQ(server.requests().last().method, testCase.method);
        if (testCase.value) {
            ASSERT_TRUE(promise.isFulfilled());
            EXPECT_EQ(*promise.value(), *testCase.value);
        } else {
            expectFailure(promise, TovrinServiceErrorDataNotReadable);
        }
    }
}

TEST_F(TovrinServiceTest, ActivityNotificationsBracketEachRequestOfItsOwn) {
    QStringList posted;
    auto begin = client.notificationCenter->addObserver(
        HTTPActivityDidBeginNotification, nullptr, [&](const Notification& n) { posted.append(n.name); });
    auto end = client.notificationCenter->addObserver(HTTPActivityDidEndNotification, nullptr,
                                                      [&](const Notification& n) { posted.append(n.name); });
    auto service = client.makeService();
    const QStringList bracket = {HTTPActivityDidBeginNotification, HTTPActivityDidEndNotification};
    for (const auto& response : {ScriptedResponse::json(200, "{}"), ScriptedResponse::empty(500)}) {
        server.enqueue(response);
        send(*service, server.url("/"));
        ASSERT_TRUE(test::runUntil([&] { return posted.size() == 2; }));
        EXPECT_EQ(posted, bracket);
        posted.clear();
    }

    auto deferred = TovrinService::JSONDeferred::make();
    service->JSONWithURLRequestDeferred(service->GETRequestWithURL(server.url("/quiet"), std::nullopt),
                                        deferred);
    ASSERT_TRUE(test::waitFor(deferred.promise));
    test::drainMainQueue();
    EXPECT_TRUE(posted.isEmpty());
}

// Runs its work on the thread pool and notes where.
class RecordingQueue : public OperationQueue {
public:
    void addOperation(Block block) override {
        ++operations;
        OperationQueue::addOperation([this, block = std::move(block)] {
            if (MainQueue::isMainThread()) ranOnMain = true;
            block();
        });
    }
    std::atomic<int> operations{0};
    std::atomic<bool> ranOnMain{false};
};

TEST_F(TovrinServiceTest, SuccessfulBodiesAreDecodedOffTheMainThreadAndSettledOnIt) {
    auto queue = std::make_shared<RecordingQueue>();
    net::URLSessionConfiguration configuration;
    auto service =
        client.makeService(std::make_shared<net::URLSession>(configuration, client.reachability), queue);
    bool settledOnMain = false;
    for (const QByteArray body : {"{\"a\":1}", "null"}) {
        server.enqueue(ScriptedResponse::json(200, body));
        const auto promise = send(*service, server.url("/"));
        promise.then([&](const QJsonValue&) { settledOnMain = MainQueue::isMainThread(); });
        promise.catchError([&](const Error&) { settledOnMain = MainQueue::isMainThread(); });
        ASSERT_TRUE(test::runUntil([&] { return settledOnMain; }));
        settledOnMain = false;
    }
    server.enqueue(ScriptedResponse::json(404, R"({"code":4,"message":"m"})"));
    send(*service, server.url("/"));
    EXPECT_EQ(queue->operations, 2);  // error bodies are read at once
    EXPECT_FALSE(queue->ranOnMain);
}

TEST_F(TovrinServiceTest, RequestGeneratorsPutHeadersBodyAndQueryOnTheWire) {
    struct Case {
        const char* name;
        net::URLRequest request;
        QByteArray method;
        QString query;
        std::optional<QByteArray> contentType;
        QByteArray body;
    };
    auto service = client.makeService();
    const QUrl url(server.url("/v3/me/prefs").toString() + "?old=1");
    const URLQueryItems page = {{"pageNumber", "2"}};
    const QJsonObject body{{"phrase", "hello"}};
    const Case cases[] = {
        {"GET", service->GETRequestWithURL(url, page), "GET", "pageNumber=2", std::nullopt, ""},
        {"GET, empty query items", service->GETRequestWithURL(url, URLQueryItems{}), "GET", "old=1",
         std::nullopt, ""},
        {"POST JSON", service->POSTRequestWithURLJSONBody(url, std::nullopt, body), "POST", "old=1",
         "application/json", R"({"phrase":"hello"})"},
        {"POST data",
         service->POSTRequestWithURLData(url, std::nullopt, QByteArray("\xff\xd8"), "image/jpeg"), "POST",
         "old=1", "image/jpeg", "\xff\xd8"},
        {"PUT JSON", service->PUTRequestWithURL(url, page, body), "PUT", "pageNumber=2", "application/json",
         R"({"phrase":"hello"})"},
        {"DELETE", service->DELETERequestWithURL(url, std::nullopt), "DELETE", "old=1", std::nullopt, ""},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        test::waitFor(service->JSONWithURLRequest(testCase.request));
        const auto& received = server.requests().last();
        EXPECT_EQ(received.method, testCase.method);
        EXPECT_EQ(received.path, "/v3/me/prefs");
        EXPECT_EQ(received.query, testCase.query);
        EXPECT_EQ(received.header("Content-Type"), testCase.contentType);
        EXPECT_EQ(received.body, testCase.body);
        EXPECT_EQ(received.header("User-Agent"), "Tovrin3/3.0 (42; iPhone; iOS 8.1)");
        EXPECT_EQ(received.header("Accept"), "application/json");
        EXPECT_FALSE(received.header("Authorization").has_value());
    }
}

}  // namespace
}  // namespace tovrin
