#include "platform/ui/webengine/EngineWebView.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <QDir>
#include <QFile>

#include "fixtures/http/LoopbackHTTPServer.h"
#include "support/TestSupport.h"
#include "support/UITestSupport.h"

namespace tovrin::ui {
namespace {

using test::drainMainQueue;
using test::LoopbackHTTPServer;
using test::RecordedRequest;
using test::runUntil;
using test::ScriptedResponse;
using test::tap;
using test::waitFor;

class RecordingWebViewDelegate : public WebViewDelegate {
public:
    void webViewDidFinishLoad(WebView& webView) override { finishedURLs.append(webView.currentURL()); }
    void webViewDidFailLoad(WebView&) override { ++failures; }

    QList<QUrl> finishedURLs;
    int failures = 0;
};

ScriptedResponse htmlPage(const QByteArray& title, const QByteArray& body = {}) {
    ScriptedResponse response;
    response.headers = {{"Content-Type", "text/html; charset=utf-8"}};
    response.body = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>" + title +
                    "</title></head><body>" + body + "</body></html>";
    return response;
}

// Pages by path: "/first" links to "/second"; anything else is a page titled by its path.
ScriptedResponse linkedPages(const RecordedRequest& request) {
    if (request.path == QLatin1String("/first"))
        return htmlPage("First", "<a style=\"display:block;height:200px\" href=\"/second\">Next</a>");
    if (request.path == QLatin1String("/second")) return htmlPage("Second");
    return htmlPage(request.path.toUtf8());
}

// Whether the widget shows anything darker than the white of an empty page (a link's text).
bool showsDarkPixels(QWidget* widget) {
    const QImage shown = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < shown.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(shown.constScanLine(y));
        if (std::any_of(line, line + shown.width(), [](QRgb pixel) { return qGray(pixel) < 128; }))
            return true;
    }
    return false;
}

// The engine's helper processes that this process started.
int engineHelperProcessCount() {
    int count = 0;
    const QString parent = QString::number(getpid());
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly)) continue;
        // "pid (name) state ppid ...": the name may hold spaces, so read after its closing bracket.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() < 2 || fields[1] != parent.toUtf8()) continue;
        QFile commandLine(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (commandLine.open(QIODevice::ReadOnly) && commandLine.readAll().contains("QtWebEngineProcess"))
            ++count;
    }
    return count;
}

class EngineWebViewTest : public ::testing::Test {
protected:
    void SetUp() override { showView(QString()); }

    void showView(const QString& extraTrustedCAFile) {
        view = std::make_unique<EngineWebView>(extraTrustedCAFile);
        view->setFrame(QRectF(0, 0, 320, 480));
        view->show();
        delegate = std::make_shared<RecordingWebViewDelegate>();
        view->setDelegate(delegate);
    }

    // Runs until the next load ends; true when it finished, false when it failed.
    bool settleLoad(const std::function<void()>& start) {
        const qsizetype finished = delegate->finishedURLs.size();
        const int failures = delegate->failures;
        start();
        EXPECT_TRUE(runUntil(
            [&] { return delegate->finishedURLs.size() > finished || delegate->failures > failures; },
            30000));
        return delegate->finishedURLs.size() > finished;
    }
    bool load(const QUrl& url) {
        return settleLoad([&] { view->loadRequest(net::URLRequest(url)); });
    }

    QVariant evaluate(const QString& script) {
        Promise<QVariant> answer = view->evaluateJavaScript(script);
        EXPECT_TRUE(waitFor(answer));
        return answer.value().value_or(QVariant());
    }

    std::unique_ptr<EngineWebView> view;
    std::shared_ptr<RecordingWebViewDelegate> delegate;
};

TEST_F(EngineWebViewTest, StartsNoEngineHelperBeforeTheFirstPageOpens) {
    LoopbackHTTPServer server;
    server.setHandler(linkedPages);
    drainMainQueue();
    EXPECT_FALSE(EngineWebView::engineStarted());
    EXPECT_EQ(engineHelperProcessCount(), 0);
    EXPECT_TRUE(view->currentURL().isEmpty());
    EXPECT_FALSE(view->canGoBack());
    EXPECT_EQ(waitFor(view->evaluateJavaScript(QStringLiteral("1 + 1"))), true);

    ASSERT_TRUE(load(server.url(QStringLiteral("/first"))));
    EXPECT_TRUE(EngineWebView::engineStarted());
    EXPECT_GE(engineHelperProcessCount(), 1);
}

TEST_F(EngineWebViewTest, LoadsAPageLaidOutToTheViewsWidth) {
    LoopbackHTTPServer server;
    server.setHandler(linkedPages);
    ASSERT_TRUE(load(server.url(QStringLiteral("/first"))));

    EXPECT_EQ(view->currentURL(), server.url(QStringLiteral("/first")));
    EXPECT_EQ(delegate->finishedURLs, QList<QUrl>{server.url(QStringLiteral("/first"))});
    EXPECT_EQ(evaluate(QStringLiteral("document.title")).toString(), QStringLiteral("First"));
    EXPECT_EQ(evaluate(QStringLiteral("document.documentElement.clientWidth")).toInt(), 320);
    EXPECT_FALSE(view->canGoBack());
    EXPECT_FALSE(view->canGoForward());
}

TEST_F(EngineWebViewTest, SendsTheRequestsMethodHeadersAndBody) {
    LoopbackHTTPServer server;
    server.setHandler(linkedPages);
    net::URLRequest request(server.url(QStringLiteral("/form")));
    request.setHTTPMethod(QStringLiteral("POST"));
    request.setValue(QStringLiteral("application/x-www-form-urlencoded"), QStringLiteral("Content-Type"));
    request.setValue(QStringLiteral("en"), QStringLiteral("Accept-Language"));
    request.setHTTPBody(QByteArray("email=someone%40example.com"));
    ASSERT_TRUE(settleLoad([&] { view->loadRequest(request); }));

    ASSERT_FALSE(server.requests().isEmpty());
    const RecordedRequest& received = server.requests().first();
    EXPECT_EQ(received.method, QByteArray("POST"));
    EXPECT_EQ(received.path, QStringLiteral("/form"));
    EXPECT_EQ(received.header("Accept-Language"), QByteArray("en"));
    EXPECT_EQ(received.body, QByteArray("email=someone%40example.com"));
}

TEST_F(EngineWebViewTest, FollowsALinkAndMovesThroughItsHistory) {
    LoopbackHTTPServer server;
    server.setHandler(linkedPages);
    const QUrl first = server.url(QStringLiteral("/first"));
    const QUrl second = server.url(QStringLiteral("/second"));
    ASSERT_TRUE(load(first));

    // A person's tap: the engine skips, going back, a page left without one. It drops input that
    // comes before its first frame, so the tap waits until the link shows.
    ASSERT_TRUE(runUntil([&] { return showsDarkPixels(view.get()); }, 30000));
    ASSERT_TRUE(settleLoad([&] { tap(view.get(), QPointF(160, 100)); }));
    EXPECT_EQ(view->currentURL(), second);
    EXPECT_EQ(evaluate(QStringLiteral("document.title")).toString(), QStringLiteral("Second"));
    EXPECT_TRUE(view->canGoBack());
    EXPECT_FALSE(view->canGoForward());

    ASSERT_TRUE(settleLoad([&] { view->goBack(); }));
    EXPECT_EQ(view->currentURL(), first);
    EXPECT_FALSE(view->canGoBack());
    EXPECT_TRUE(view->canGoForward());

    ASSERT_TRUE(settleLoad([&] { view->goForward(); }));
    EXPECT_EQ(view->currentURL(), second);
    EXPECT_TRUE(view->canGoBack());
    EXPECT_FALSE(view->canGoForward());

    const qsizetype requests = server.requests().size();
    ASSERT_TRUE(settleLoad([&] { view->reload(); }));
    EXPECT_EQ(view->currentURL(), second);
    EXPECT_GT(server.requests().size(), requests);
}

TEST_F(EngineWebViewTest, ReportsAFailedLoadAsAFailure) {
    EXPECT_FALSE(load(test::closedPortURL()));
    EXPECT_EQ(delegate->failures, 1);
    EXPECT_TRUE(delegate->finishedURLs.isEmpty());
}

TEST_F(EngineWebViewTest, LoadsABundledPage) {
    const QUrl bundled(QStringLiteral("qrc:/pages/bundled.html"));
    ASSERT_TRUE(load(bundled));
    EXPECT_EQ(view->currentURL(), bundled);
    EXPECT_EQ(evaluate(QStringLiteral("document.title")).toString(), QStringLiteral("Bundled page"));
}

TEST_F(EngineWebViewTest, RefusesOtherSchemes) {
    const QList<QUrl> refused = {
        QUrl(QStringLiteral("file:///etc/hostname")),
        QUrl(QStringLiteral("data:text/html,<title>Data</title>")),
        QUrl(QStringLiteral("javascript:document.title")),
        QUrl(QStringLiteral("ftp://127.0.0.1/file")),
        QUrl(QStringLiteral("about:blank")),
    };
    for (const QUrl& url : refused) {
        SCOPED_TRACE(url.toString().toStdString());
        EXPECT_FALSE(load(url));
    }
    EXPECT_EQ(delegate->failures, refused.size());
    EXPECT_TRUE(view->currentURL().isEmpty());
    EXPECT_FALSE(EngineWebView::engineStarted());
}

TEST_F(EngineWebViewTest, RefusesAnotherSchemeAfterAPage) {
    LoopbackHTTPServer server;
    server.setHandler(linkedPages);
    ASSERT_TRUE(load(server.url(QStringLiteral("/first"))));
    EXPECT_FALSE(load(QUrl(QStringLiteral("file:///etc/hostname"))));
    EXPECT_EQ(view->currentURL(), server.url(QStringLiteral("/first")));
}

struct TrustCase {
    const char* name;
    LoopbackHTTPServer::Certificate certificate;
    bool extraAuthority;
    bool loads;

    friend void PrintTo(const TrustCase& trustCase, std::ostream* out) { *out << trustCase.name; }
};

class EngineWebViewTrustTest : public EngineWebViewTest, public ::testing::WithParamInterface<TrustCase> {};

// Each case runs in a process of its own: the engine remembers a certificate it accepted for a host.
TEST_P(EngineWebViewTrustTest, TrustsOnlyTheExtraAuthorityForItsHosts) {
    const TrustCase& trustCase = GetParam();
    showView(trustCase.extraAuthority ? LoopbackHTTPServer::certificateAuthorityFile() : QString());
    LoopbackHTTPServer server(trustCase.certificate);
    server.setHandler(linkedPages);

    EXPECT_EQ(load(server.url(QStringLiteral("/second"))), trustCase.loads);
    if (trustCase.loads) {
        EXPECT_EQ(evaluate(QStringLiteral("document.title")).toString(), QStringLiteral("Second"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Certificates, EngineWebViewTrustTest,
    ::testing::Values(TrustCase{"LocalhostTrusted", LoopbackHTTPServer::Certificate::Localhost, true, true},
                      TrustCase{"LocalhostUnknownAuthority", LoopbackHTTPServer::Certificate::Localhost,
                                false, false},
                      TrustCase{"OtherHost", LoopbackHTTPServer::Certificate::OtherHost, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tovrin::ui
