#include "sandbox/http/HTTPHost.h"

#include <gtest/gtest.h>

#include <QJsonObject>
#include <QTcpSocket>

#include "fixtures/net/FakeReachability.h"
#include "platform/net/URLSession.h"
#include "support/TestSupport.h"

namespace tovrin::sandbox {
namespace {

class HTTPHostTest : public testing::Test {
protected:
    void SetUp() override {
        host->route("GET", "/items/{}", [](const HTTPRequest& request) {
            return HTTPReply::json(
                QJsonObject{{"item", request.arguments[0]}, {"q", request.queryValue("q").value_or("")}});
        });
        host->route("DELETE", "/items/{}", [](const HTTPRequest&) {
            return HTTPReply::json(QJsonObject{{"deleted", true}});
        });
        host->routeDeferred("POST", "/later", [this](const HTTPRequest&) {
            auto [promise, resolver] = Promise<HTTPReply>::pending();
            later.push_back(resolver);
            return promise;
        });
        ASSERT_TRUE(host->listenOn(QHostAddress::LocalHost, 0));
    }

    std::pair<int, QByteArray> request(const QByteArray& method, const QString& path) {
        net::URLRequest request(host->url().resolved(QUrl(path)));
        request.setHTTPMethod(QString::fromLatin1(method));
        Promise<net::DataTaskResponse> response = session.dataTaskPromise(request);
        EXPECT_TRUE(test::waitFor(response));
        if (!response.isFulfilled()) return {0, {}};
        return {response.value()->response.statusCode(), response.value()->data};
    }

    std::unique_ptr<HTTPHost> host =
        std::make_unique<HTTPHost>("test", HTTPReply::json(QJsonObject{{"missing", true}}, 404));
    std::vector<Resolver<HTTPReply>> later;
    net::URLSession session{net::URLSessionConfiguration(), std::make_shared<test::FakeReachability>()};
};

TEST_F(HTTPHostTest, RoutesMatchByMethodAndPathAndCaptureTheirSegments) {
    struct Case {
        QByteArray method;
        const char* path;
        int status;
        QByteArray body;
    };
    const Case cases[] = {
        {"GET", "/items/7?q=a%20b", 200, R"({"item":"7","q":"a b"})"},
        {"GET", "/items/a%2Fb", 200, R"({"item":"a/b","q":""})"},
        {"DELETE", "/items/7", 200, R"({"deleted":true})"},
        {"PUT", "/items/7", 404, R"({"missing":true})"},
        {"GET", "/items/7/more", 404, R"({"missing":true})"},
        {"GET", "/items", 404, R"({"missing":true})"},
    };
    for (const Case& c : cases) {
        const auto [status, body] = request(c.method, QString::fromLatin1(c.path));
        EXPECT_EQ(status, c.status) << c.path;
        EXPECT_EQ(body, c.body) << c.path;
    }
}

TEST_F(HTTPHostTest, TheGateAnswersBeforeAnyRoute) {
    host->setGate([](const HTTPRequest& request) -> std::optional<HTTPReply> {
        if (request.path.startsWith("/items/closed"))
            return HTTPReply::json(QJsonObject{{"gate", true}}, 503);
        return std::nullopt;
    });
    EXPECT_EQ(request("GET", "/items/closed").first, 503);
    EXPECT_EQ(request("GET", "/items/open").first, 200);
}

TEST_F(HTTPHostTest, ADeferredAnswerWaitsForItsPromise) {
    net::URLRequest post(host->url().resolved(QUrl("/later")));
    post.setHTTPMethod("POST");
    Promise<net::DataTaskResponse> response = session.dataTaskPromise(post);
    ASSERT_TRUE(test::runUntil([&] { return !later.empty(); }));
    test::drainMainQueue();
    EXPECT_TRUE(response.isPending());
    later[0].fulfill(HTTPReply::json(QJsonObject{{"done", true}}, 201));
    ASSERT_TRUE(test::waitFor(response));
    EXPECT_EQ(response.value()->response.statusCode(), 201);
}

// Answers that come after their connection, or their host, went are dropped.
TEST_F(HTTPHostTest, AnAnswerToAGoneConnectionOrHostIsDropped) {
    QTcpSocket client;
    client.connectToHost(host->url().host(), quint16(host->url().port()));
    ASSERT_TRUE(client.waitForConnected(10000));
    client.write("POST /later HTTP/1.1\r\nHost: test\r\nContent-Length: 0\r\n\r\n");
    ASSERT_TRUE(test::runUntil([&] { return later.size() == 1; }));
    client.abort();
    test::drainMainQueue();
    later[0].fulfill(HTTPReply::json(QJsonObject()));
    test::drainMainQueue();

    net::URLRequest post(host->url().resolved(QUrl("/later")));
    post.setHTTPMethod("POST");
    Promise<net::DataTaskResponse> pending = session.dataTaskPromise(post);
    ASSERT_TRUE(test::runUntil([&] { return later.size() == 2; }));
    host.reset();
    later[1].fulfill(HTTPReply::json(QJsonObject()));
    ASSERT_TRUE(test::waitFor(pending));
    EXPECT_TRUE(pending.isRejected());
}

// A body over the limit is refused from its headers, before any of it is read; a request before it
// on the same connection, body included, is answered as usual.
TEST_F(HTTPHostTest, ABodyOverTheLimitIsRefusedFromItsHeaders) {
    struct Case {
        QByteArray second;
        QByteArray status;
    };
    const QByteArray over = QByteArray::number(HTTPHost::MaximumBodySize + 1);
    const Case cases[] = {
        {"POST /later HTTP/1.1\r\nHost: test\r\nContent-Length: " + over + "\r\n\r\n", "HTTP/1.1 413"},
        {"POST /later HTTP/1.1\r\nHost: test\r\nTransfer-Encoding: chunked\r\n\r\n", "HTTP/1.1 411"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.status.toStdString());
        QTcpSocket client;
        client.connectToHost(host->url().host(), quint16(host->url().port()));
        ASSERT_TRUE(client.waitForConnected(10000));
        const auto readUntil = [&client](const QByteArray& text) {
            QByteArray received;
            test::runUntil([&] {
                received += client.readAll();
                return received.contains(text) || client.state() == QAbstractSocket::UnconnectedState;
            });
            return received;
        };
        client.write("DELETE /items/7 HTTP/1.1\r\nHost: test\r\nContent-Length: 5\r\n\r\nhello");
        const QByteArray first = readUntil(R"({"deleted":true})");
        EXPECT_TRUE(first.startsWith("HTTP/1.1 200")) << first.toStdString();
        client.write(c.second);
        const QByteArray second = readUntil(c.status);
        EXPECT_TRUE(second.startsWith(c.status)) << second.toStdString();
        EXPECT_TRUE(later.empty());
    }
}

}  // namespace
}  // namespace tovrin::sandbox
