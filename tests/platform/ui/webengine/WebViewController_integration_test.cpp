#include "UserInterface/WebViewController.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include "fixtures/http/LoopbackHTTPServer.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/system/Application.h"
#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/controllers/BarButtonItem.h"
#include "platform/ui/controllers/NavigationBar.h"
#include "platform/ui/controllers/NavigationController.h"
#include "platform/ui/controllers/Toolbar.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/views/Window.h"
#include "platform/ui/webengine/EngineWebView.h"
#include "support/TestSupport.h"
#include "support/UITestSupport.h"

namespace tovrin {
namespace {

using test::LoopbackHTTPServer;
using test::RecordedRequest;
using test::runUntil;
using test::ScriptedResponse;

// How long a page may take: the engine's first start is slow under the sanitizers.
constexpr int pagePatience = 30000;

ScriptedResponse webPage(const QByteArray& head, const QByteArray& body) {
    ScriptedResponse response;
    response.headers = {{"Content-Type", "text/html; charset=utf-8"}};
    response.body = "<!DOCTYPE html><html><head><meta charset=\"utf-8\">" + head + "</head><body>" + body +
                    "</body></html>";
    return response;
}

// "/first" links to "/second"; "/untitled" has no title; "/help" is a page worth looking at.
ScriptedResponse helpPages(const RecordedRequest& request) {
    if (request.path == QLatin1String("/first"))
        return webPage("<title>First</title>",
                       "<a style=\"display:block;height:200px\" href=\"/second\">Next</a>");
    if (request.path == QLatin1String("/second")) return webPage("<title>Second</title>", "<p>Second</p>");
    if (request.path == QLatin1String("/untitled")) return webPage({}, "<p>No title here.</p>");
    return webPage(
        "<title>Help Center</title><meta name=\"viewport\" content=\"width=device-width\">"
        "<style>body{font-family:sans-serif;margin:16px;color:#333}h1{font-size:22px}"
        "a{color:#1a73e8}</style>",
        "<h1>Help Center</h1><h2>Account</h2><ul><li>Changing your email or password</li>"
        "<li>Forgot your password?</li></ul><h2>Safety</h2><ul><li>Blocking and reporting</li></ul>"
        "<p><a href=\"/first\">Submit a request</a></p>");
}

// What the screen showed each time it told its delegate.
struct Shown {
    QString title;
    bool backEnabled;
    bool forwardEnabled;
    friend bool operator==(const Shown&, const Shown&) = default;
    friend void PrintTo(const Shown& shown, std::ostream* out) {
        *out << "{" << shown.title.toStdString() << ", back " << shown.backEnabled << ", forward "
             << shown.forwardEnabled << "}";
    }
};

class ScreenDelegate : public WebViewControllerDelegate {
public:
    void webViewControllerDidFinishLoading(WebViewController& controller) override {
        shown.push_back({controller.title(), controller.backButton()->isEnabled(),
                         controller.forwardButton()->isEnabled()});
    }
    std::vector<Shown> shown;
};

bool showsMoreThanWhite(QWidget* widget) {
    const QImage shown = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < shown.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(shown.constScanLine(y));
        for (int x = 0; x < shown.width(); ++x)
            if (qGray(line[x]) < 128) return true;
    }
    return false;
}

class WebPageScreenTest : public testing::Test {
protected:
    std::shared_ptr<Application> application =
        std::make_shared<Application>(std::make_shared<NotificationCenter>());
    QList<QUrl> opened;
    ui::Window window{application};
    std::shared_ptr<ScreenDelegate> delegate = std::make_shared<ScreenDelegate>();
    std::shared_ptr<WebViewController> screen;

    void SetUp() override {
        application->setURLOpener([this](const QUrl& url) {
            opened << url;
            return true;
        });
    }

    void showScreen(const QString& extraTrustedCAFile = {}, bool hideControls = false) {
        screen = std::make_shared<WebViewController>(
            ui::sharedWidget<ui::WebView>(new ui::EngineWebView(extraTrustedCAFile)), application);
        screen->setDelegate(delegate);
        if (hideControls) screen->hideControls();
        window.setRootViewController(screen);
        window.show();
        screen->view()->layoutIfNeeded();
    }

    // Runs until the screen has told its delegate of one more page, and its toolbar shows the
    // buttons' state.
    bool nextPage(const std::function<void()>& start) {
        const size_t before = delegate->shown.size();
        start();
        return runUntil([&] { return delegate->shown.size() > before; }, pagePatience) && toolbarSettled();
    }
    bool load(const QUrl& url) {
        return nextPage([&] { screen->loadRequest(net::URLRequest(url)); });
    }
    // A person's tap on the link at the top of "/first", once the page shows it (the engine drops
    // input that comes before its first frame). The engine skips, going back, a page left by a
    // script, so links are followed by taps.
    bool followLink() {
        if (!runUntil([&] { return showsMoreThanWhite(screen->webView()); }, pagePatience)) return false;
        return nextPage([&] { test::tap(screen->webView(), QPointF(40, 20)); });
    }
    bool toolbarSettled() {
        return runUntil([&] {
            const std::vector<ui::Button*> buttons = screen->toolBar()->buttons();
            return buttons.size() == 4 && buttons[0]->isEnabled() == screen->backButton()->isEnabled() &&
                   buttons[1]->isEnabled() == screen->forwardButton()->isEnabled();
        });
    }
    void tapToolbar(const QString& label) {
        auto* button = qobject_cast<ui::Button*>(test::findViewByLabel(screen->toolBar(), label));
        ASSERT_NE(button, nullptr) << label.toStdString();
        test::tap(button);
    }
    // The engine's own report of each ended load, failed ones included, which the screen keeps to
    // itself. The engine's page exists once a load has started.
    std::unique_ptr<QSignalSpy> engineLoadsEnded() {
        for (QObject* child : screen->webView()->findChildren<QObject*>()) {
            if (child->inherits("QWebEnginePage"))
                return std::make_unique<QSignalSpy>(child, SIGNAL(loadFinished(bool)));
        }
        return nullptr;
    }
};

TEST_F(WebPageScreenTest, TheToolbarFollowsThePageHistoryAfterTheTitle) {
    LoopbackHTTPServer server;
    server.setHandler(helpPages);
    showScreen();
    ASSERT_TRUE(load(server.url(QStringLiteral("/first"))));
    ASSERT_TRUE(followLink());
    ASSERT_TRUE(nextPage([&] { tapToolbar(QStringLiteral("Back")); }));
    ASSERT_TRUE(nextPage([&] { tapToolbar(QStringLiteral("Forward")); }));

    EXPECT_EQ(delegate->shown, (std::vector<Shown>{{"First", false, false},
                                                   {"Second", true, false},
                                                   {"First", false, true},
                                                   {"Second", true, false}}));
    EXPECT_EQ(screen->webView()->currentURL(), server.url(QStringLiteral("/second")));

    const qsizetype requests = server.requests().size();
    ASSERT_TRUE(nextPage([&] { tapToolbar(QStringLiteral("Reload")); }));
    EXPECT_GT(server.requests().size(), requests);
    EXPECT_EQ(screen->title(), QStringLiteral("Second"));
}

TEST_F(WebPageScreenTest, APageWithoutATitleLeavesTheTitleEmpty) {
    LoopbackHTTPServer server;
    server.setHandler(helpPages);
    showScreen();
    screen->setTitle(QStringLiteral("Help"));
    ASSERT_TRUE(load(server.url(QStringLiteral("/untitled"))));
    EXPECT_EQ(screen->title(), QString());
}

TEST_F(WebPageScreenTest, FailedAndRefusedLoadsChangeNothingAndAreNotTold) {
    LoopbackHTTPServer server;
    server.setHandler(helpPages);
    showScreen();
    ASSERT_TRUE(load(server.url(QStringLiteral("/first"))));
    ASSERT_TRUE(followLink());
    const std::vector<Shown> shown = delegate->shown;

    std::unique_ptr<QSignalSpy> ended = engineLoadsEnded();
    ASSERT_NE(ended, nullptr);
    screen->loadRequest(net::URLRequest(test::closedPortURL()));
    ASSERT_TRUE(runUntil([&] { return !ended->isEmpty(); }, pagePatience));
    EXPECT_FALSE(ended->first().first().toBool());
    test::drainMainQueue();
    EXPECT_EQ(screen->title(), QStringLiteral("Second"));
    EXPECT_TRUE(screen->backButton()->isEnabled());
    EXPECT_EQ(delegate->shown, shown);

    // Another scheme never reaches the engine.
    screen->loadRequest(net::URLRequest(QUrl(QStringLiteral("file:///etc/hostname"))));
    test::drainMainQueue();
    EXPECT_EQ(screen->title(), QStringLiteral("Second"));
    EXPECT_EQ(delegate->shown, shown);
    EXPECT_EQ(ended->size(), 1);
}

TEST_F(WebPageScreenTest, OpensOnlyWebAddressesInTheBrowser) {
    LoopbackHTTPServer server;
    server.setHandler(helpPages);
    showScreen();
    tapToolbar(QStringLiteral("Open in Safari"));
    EXPECT_TRUE(opened.isEmpty());

    // A bundled page has no address outside the application.
    ASSERT_TRUE(load(QUrl(QStringLiteral("qrc:/pages/bundled.html"))));
    EXPECT_EQ(screen->title(), QStringLiteral("Bundled page"));
    tapToolbar(QStringLiteral("Open in Safari"));
    EXPECT_TRUE(opened.isEmpty());

    ASSERT_TRUE(load(server.url(QStringLiteral("/second"))));
    tapToolbar(QStringLiteral("Open in Safari"));
    EXPECT_EQ(opened, QList<QUrl>{server.url(QStringLiteral("/second"))});
}

TEST_F(WebPageScreenTest, ScreenshotsWithAndWithoutTheToolbar) {
    LoopbackHTTPServer server;
    server.setHandler(helpPages);
    for (const bool hidden : {false, true}) {
        // As the settings screen shows it: pushed under an opaque bar.
        showScreen({}, hidden);
        auto navigation = std::make_shared<ui::NavigationController>(std::make_shared<ui::ViewController>());
        navigation->navigationBar()->setTranslucent(false);
        window.setRootViewController(navigation);
        {
            ui::ImmediateAnimations immediate;
            navigation->pushViewController(screen, true);
            test::drainAnimations();
        }
        ASSERT_TRUE(load(server.url(QStringLiteral("/help"))));
        // The engine paints a little after the load: wait for the page's text.
        ASSERT_TRUE(runUntil([&] { return showsMoreThanWhite(screen->webView()); }, pagePatience));
        EXPECT_EQ(screen->toolBar()->isHidden(), hidden);
        test::saveScreenshot(&window, hidden ? QStringLiteral("WebViewController-controlsHidden")
                                             : QStringLiteral("WebViewController"));
    }
}

struct TrustedPageCase {
    const char* name;
    LoopbackHTTPServer::Certificate certificate;
    bool loads;

    friend void PrintTo(const TrustedPageCase& trustCase, std::ostream* out) { *out << trustCase.name; }
};

class WebPageScreenTrustTest : public WebPageScreenTest,
                               public testing::WithParamInterface<TrustedPageCase> {};

// The screen's web view trusts the configured authority for its hosts and nothing else.
TEST_P(WebPageScreenTrustTest, ShowsPagesOfTheExtraAuthorityOnly) {
    LoopbackHTTPServer server(GetParam().certificate);
    server.setHandler(helpPages);
    showScreen(LoopbackHTTPServer::certificateAuthorityFile());
    screen->setTitle(QStringLiteral("Help"));
    if (GetParam().loads) {
        ASSERT_TRUE(load(server.url(QStringLiteral("/second"))));
        EXPECT_EQ(screen->title(), QStringLiteral("Second"));
        return;
    }
    screen->loadRequest(net::URLRequest(server.url(QStringLiteral("/second"))));
    std::unique_ptr<QSignalSpy> ended = engineLoadsEnded();
    ASSERT_NE(ended, nullptr);
    ASSERT_TRUE(runUntil([&] { return !ended->isEmpty(); }, pagePatience));
    test::drainMainQueue();
    EXPECT_TRUE(delegate->shown.empty());
    EXPECT_EQ(screen->title(), QStringLiteral("Help"));
}

INSTANTIATE_TEST_SUITE_P(
    Certificates, WebPageScreenTrustTest,
    testing::Values(TrustedPageCase{"Localhost", LoopbackHTTPServer::Certificate::Localhost, true},
                    TrustedPageCase{"OtherHost", LoopbackHTTPServer::Certificate::OtherHost, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tovrin
