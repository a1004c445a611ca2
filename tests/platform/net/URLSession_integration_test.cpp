#include "platform/net/URLSession.h"

#include <gtest/gtest.h>

#include <QTcpServer>

#include "fixtures/http/LoopbackHTTPServer.h"
#include "fixtures/net/FakeReachability.h"
#include "platform/net/URLError.h"
#include "support/TestSupport.h"

namespace tovrin::net {
namespace {

using test::FakeReachability;
using test::LoopbackHTTPServer;
using test::ScriptedResponse;

class URLSessionTest : public testing::Test {
protected:
    std::shared_ptr<FakeReachability> reachability = std::make_shared<FakeReachability>();

    std::shared_ptr<URLSession> makeSession(URLSessionConfiguration configuration = {}) {
        return std::make_shared<URLSession>(configuration, reachability);
    }

    // The settled promise: the answer, or the error's code.
    static Promise<DataTaskResponse> send(URLSession& session, const URLRequest& request) {
        auto promise = session.dataTaskPromise(request);
        EXPECT_TRUE(test::waitFor(promise));
        return promise;
    }

    static qint64 failureCode(URLSession& session, const URLRequest& request) {
        const auto error = send(session, request).error();
        if (!error) {
            ADD_FAILURE() << "The request did not fail";
            return 0;
        }
        EXPECT_EQ(error->domain(), URLErrorDomain);
        return error->code();
    }
};

TEST_F(URLSessionTest, EveryStatusIsAnAnswerWithItsHeadersAndBody) {
    LoopbackHTTPServer server;
    auto session = makeSession();
    for (const int status : {199, 200, 201, 302, 400, 401, 403, 404, 407, 418, 500, 503, 600}) {
        SCOPED_TRACE(status);
        ScriptedResponse response =
            ScriptedResponse::json(status, "{\"status\":" + QByteArray::number(status) + "}");
        response.headers.append(qMakePair(QByteArray("X-Answer"), QByteArray("yes")));
        if (status == 302)
            response.headers.append(qMakePair(QByteArray("Location"), QByteArray("/elsewhere")));
        if (status == 401) {
            response.headers.append(
                qMakePair(QByteArray("WWW-Authenticate"), QByteArray("Basic realm=\"tovrin\"")));
        }
        server.enqueue(response);
        const auto answer = send(*session, URLRequest(server.url("/v3/status"))).value();
        ASSERT_TRUE(answer.has_value());
        EXPECT_EQ(answer->response.statusCode(), status);
        EXPECT_EQ(answer->response.valueForHTTPHeaderField("x-answer"), "yes");
        // An informational status carries no body.
        EXPECT_EQ(answer->data, status == 199 ? QByteArray() : response.body);
    }
    // Neither the redirect nor the challenge was followed up.
    EXPECT_EQ(server.requests().size(), 13);
}

TEST_F(URLSessionTest, AnAnswerWithoutABodyIsAnEmptyBody) {
    LoopbackHTTPServer server;
    server.enqueue(ScriptedResponse::empty(204));
    auto answer = send(*makeSession(), URLRequest(server.url("/"))).value();
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->response.statusCode(), 204);
    EXPECT_TRUE(answer->data.isEmpty());
}

TEST_F(URLSessionTest, SendsTheRequestAsGiven) {
    LoopbackHTTPServer server;
    auto session = makeSession();
    URLRequest request(QUrl(server.url().toString() + "/v3/me/blocks/42?first=1&second=two"));
    request.setHTTPMethod("DELETE");
    request.setValue("application/json", "Content-Type");
    request.setValue("Tovrin3 token", "Authorization");
    request.setHTTPBody("{\"a\":1}");
    request.setProperty("kept inside", "Marker");  // never sent
    send(*session, request);

    ASSERT_EQ(server.requests().size(), 1);
    const auto& received = server.requests().first();
    EXPECT_EQ(received.method, "DELETE");
    EXPECT_EQ(received.path, "/v3/me/blocks/42");
    EXPECT_EQ(received.query, "first=1&second=two");
    EXPECT_EQ(received.header("Content-Type"), "application/json");
    EXPECT_EQ(received.header("Authorization"), "Tovrin3 token");
    EXPECT_EQ(received.body, "{\"a\":1}");
    for (const auto& [name, value] : received.headers) {
        EXPECT_NE(name.toLower(), "marker");
        EXPECT_NE(value, "kept inside");
    }
}

TEST_F(URLSessionTest, ARequestWithoutDataForItsTimeOutFails) {
    LoopbackHTTPServer server;
    server.enqueue(ScriptedResponse::hang());
    URLSessionConfiguration configuration;
    configuration.timeoutIntervalForRequest = 0.2;
    auto session = makeSession(configuration);
    EXPECT_EQ(failureCode(*session, URLRequest(server.url("/slow"))), URLErrorTimedOut);
}

TEST_F(URLSessionTest, TransportFailuresMapToURLLoadingCodes) {
    LoopbackHTTPServer server;
    auto session = makeSession();
    server.setHandler([](const auto&) { return ScriptedResponse::drop(); });
    EXPECT_EQ(failureCode(*session, URLRequest(server.url("/dropped"))), URLErrorNetworkConnectionLost);
    EXPECT_EQ(failureCode(*session, URLRequest(test::closedPortURL())), URLErrorCannotConnectToHost);
}

TEST_F(URLSessionTest, WithoutNetworkAFailedConnectionMeansNotConnected) {
    reachability->setStatus(NetworkStatus::NotReachable);
    EXPECT_EQ(failureCode(*makeSession(), URLRequest(test::closedPortURL())), URLErrorNotConnectedToInternet);
}

TEST_F(URLSessionTest, WithoutNetworkAnAnswerIsStillAnAnswer) {
    reachability->setStatus(NetworkStatus::NotReachable);
    LoopbackHTTPServer server;
    server.enqueue(ScriptedResponse::empty(500));
    EXPECT_EQ(send(*makeSession(), URLRequest(server.url("/"))).value()->response.statusCode(), 500);
}

TEST_F(URLSessionTest, AnUntrustedCertificateFailsAsUntrusted) {
    struct Case {
        const char* name;
        LoopbackHTTPServer::Certificate certificate;
        bool trustTestAuthority;
        std::optional<qint64> failure;
    };
    const Case cases[] = {
        {"unknown authority", LoopbackHTTPServer::Certificate::Localhost, false,
         URLErrorServerCertificateUntrusted},
        {"trusted authority", LoopbackHTTPServer::Certificate::Localhost, true, std::nullopt},
        {"another host's certificate", LoopbackHTTPServer::Certificate::OtherHost, true,
         URLErrorServerCertificateUntrusted},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        LoopbackHTTPServer server(testCase.certificate);
        URLSessionConfiguration configuration;
        if (testCase.trustTestAuthority) {
            configuration.additionalTrustedCAFile = LoopbackHTTPServer::certificateAuthorityFile();
        }
        auto session = makeSession(configuration);
        const auto outcome = send(*session, URLRequest(server.url("/v3/secure")));
        if (testCase.failure) {
            ASSERT_TRUE(outcome.isRejected());
            EXPECT_EQ(outcome.error()->code(), *testCase.failure);
            EXPECT_TRUE(server.requests().isEmpty());
        } else {
            ASSERT_TRUE(outcome.isFulfilled());
            EXPECT_EQ(outcome.value()->response.statusCode(), 200);
        }
    }
}

TEST_F(URLSessionTest, ASessionGoingAwayCancelsWhatIsInFlight) {
    LoopbackHTTPServer server;
    server.enqueue(ScriptedResponse::hang());
    auto session = makeSession();
    auto promise = session->dataTaskPromise(URLRequest(server.url("/")));
    ASSERT_TRUE(server.waitForRequests(1));
    session.reset();
    ASSERT_TRUE(test::waitFor(promise));
    EXPECT_EQ(promise.error()->code(), URLErrorCancelled);
}

}  // namespace
}  // namespace tovrin::net
