#include "UserInterface/WebViewController.h"

#include <gtest/gtest.h>

#include <QImage>
#include <deque>

#include "platform/foundation/NotificationCenter.h"
#include "platform/system/Application.h"
#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/controllers/BarButtonItem.h"
#include "platform/ui/controllers/NavigationBar.h"
#include "platform/ui/controllers/NavigationController.h"
#include "platform/ui/controllers/NavigationItem.h"
#include "platform/ui/controllers/Toolbar.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/views/Window.h"
#include "support/TestSupport.h"
#include "support/UITestSupport.h"

namespace tovrin {
namespace {

// A web view that records what it is asked and finishes loads, and answers scripts, when the test
// says so.
class RecordingPageView : public ui::WebView {
public:
    RecordingPageView() { setBackgroundColor(QColor(200, 200, 200)); }

    void loadRequest(const net::URLRequest& request) override { calls << "load " + request.URL().toString(); }
    void goBack() override { calls << QStringLiteral("back"); }
    void goForward() override { calls << QStringLiteral("forward"); }
    void reload() override { calls << QStringLiteral("reload"); }
    bool canGoBack() const override { return back; }
    bool canGoForward() const override { return forward; }
    QUrl currentURL() const override { return url; }
    Promise<QVariant> evaluateJavaScript(const QString& script) override {
        scripts << script;
        auto [promise, resolver] = Promise<QVariant>::pending();
        answers.push_back(resolver);
        return promise;
    }

    // A page finished loading; its history now allows going back and forward as given.
    void finishLoad(const QUrl& page, bool canGoBack, bool canGoForward) {
        url = page;
        back = canGoBack;
        forward = canGoForward;
        tellDidFinishLoad();
    }
    void failLoad() { tellDidFailLoad(); }
    void answer(size_t index, const QVariant& value) { answers.at(index).fulfill(value); }

    QStringList calls;
    QStringList scripts;
    std::vector<Resolver<QVariant>> answers;
    bool back = false;
    bool forward = false;
    QUrl url;
};

// What the screen showed each time it told its delegate.
struct Told {
    QString title;
    bool backEnabled;
    bool forwardEnabled;
    friend bool operator==(const Told&, const Told&) = default;
    friend void PrintTo(const Told& told, std::ostream* out) {
        *out << "{" << told.title.toStdString() << ", back " << told.backEnabled << ", forward "
             << told.forwardEnabled << "}";
    }
};

class RecordingWebPageDelegate : public WebViewControllerDelegate {
public:
    void webViewControllerDidFinishLoading(WebViewController& controller) override {
        told.push_back({controller.title(), controller.backButton()->isEnabled(),
                        controller.forwardButton()->isEnabled()});
    }
    std::vector<Told> told;
};

const QUrl firstHelpPage(QStringLiteral("https://help.tovrin.test/first"));
const QUrl secondHelpPage(QStringLiteral("https://help.tovrin.test/second"));

class WebViewControllerTest : public testing::Test {
protected:
    ui::ImmediateAnimations immediate;
    std::shared_ptr<Application> application =
        std::make_shared<Application>(std::make_shared<NotificationCenter>());
    QList<QUrl> opened;
    std::shared_ptr<RecordingPageView> webView = ui::sharedWidget(new RecordingPageView());
    std::shared_ptr<WebViewController> screen = std::make_shared<WebViewController>(webView, application);
    std::shared_ptr<RecordingWebPageDelegate> delegate = std::make_shared<RecordingWebPageDelegate>();
    ui::Window window{application};

    void SetUp() override {
        application->setURLOpener([this](const QUrl& url) {
            opened << url;
            return true;
        });
        screen->setDelegate(delegate);
    }
    void show() {
        window.setRootViewController(screen);
        window.show();
        screen->view()->layoutIfNeeded();
    }
    // Runs the answers' continuations and lets the toolbar redraw its buttons after them.
    void settle() {
        test::drainMainQueue();
        if (!screen || !screen->isViewLoaded()) return;
        ASSERT_TRUE(test::runUntil([&] {
            const std::vector<ui::Button*> buttons = screen->toolBar()->buttons();
            return buttons.size() == 4 && buttons[0]->isEnabled() == screen->backButton()->isEnabled() &&
                   buttons[1]->isEnabled() == screen->forwardButton()->isEnabled();
        }));
    }
    ui::Button* toolbarButton(const QString& label) {
        return qobject_cast<ui::Button*>(test::findViewByLabel(screen->toolBar(), label));
    }
};

TEST_F(WebViewControllerTest, TheToolbarHoldsFourButtonsSpreadEvenlyAcrossTheBottom) {
    show();
    ui::Toolbar* toolbar = screen->toolBar();
    const auto& items = toolbar->items();
    ASSERT_EQ(items.size(), 7u);
    EXPECT_EQ(items[0], screen->backButton());
    EXPECT_EQ(items[2], screen->forwardButton());
    EXPECT_EQ(items[4], screen->reloadButton());
    EXPECT_EQ(items[6], screen->openInSafariButton());
    for (size_t index : {1u, 3u, 5u}) EXPECT_TRUE(items[index]->isFlexibleSpace()) << index;

    const std::vector<ui::Button*> buttons = toolbar->buttons();
    ASSERT_EQ(buttons.size(), 4u);
    const QStringList labels{"Back", "Forward", "Reload", "Open in Safari"};
    const QStringList images{"browser-back", "browser-forward", "browser-reload", "browser-share"};
    for (int index = 0; index < 4; ++index) {
        SCOPED_TRACE(labels[index].toStdString());
        EXPECT_EQ(buttons[index]->accessibilityLabel(), labels[index]);
        EXPECT_EQ(items[index * 2]->image().name(), images[index]);
        EXPECT_FALSE(items[index * 2]->image().isNull());
        EXPECT_EQ(items[index * 2]->style(), ui::BarButtonItem::Style::Plain);
    }
    // Equal gaps between the buttons' centres.
    const double gap = buttons[1]->frame().center().x() - buttons[0]->frame().center().x();
    for (int index = 1; index < 4; ++index)
        EXPECT_NEAR(buttons[index]->frame().center().x() - buttons[index - 1]->frame().center().x(), gap, 1);

    const QRectF area = screen->view()->bounds();
    EXPECT_EQ(toolbar->frame(),
              QRectF(0, area.height() - ui::Toolbar::Height, area.width(), ui::Toolbar::Height));
    EXPECT_EQ(webView->frame(), QRectF(0, 0, area.width(), area.height() - ui::Toolbar::Height));
    EXPECT_FALSE(toolbar->isTranslucent());
    EXPECT_EQ(screen->view()->backgroundColor(), QColor(Qt::white));
    // Nothing loaded yet: no history either way.
    EXPECT_FALSE(screen->backButton()->isEnabled());
    EXPECT_FALSE(screen->forwardButton()->isEnabled());
    EXPECT_TRUE(screen->reloadButton()->isEnabled());
    EXPECT_TRUE(screen->openInSafariButton()->isEnabled());
}

TEST_F(WebViewControllerTest, CallsMadeBeforeTheViewLoadedTakeEffectWhenItIsShown) {
    const QColor tint(40, 44, 52);
    net::URLRequest request(firstHelpPage);
    screen->loadRequest(request);
    screen->setToolbarTintColor(tint);
    screen->hideControls();
    EXPECT_FALSE(screen->isViewLoaded());
    EXPECT_EQ(webView->calls, QStringList{"load " + firstHelpPage.toString()});
    EXPECT_EQ(screen->toolbarTintColor(), tint);

    show();
    EXPECT_EQ(screen->toolBar()->barTintColor(), tint);
    EXPECT_TRUE(screen->toolBar()->isHidden());
    EXPECT_TRUE(webView->isVisible());
}

TEST_F(WebViewControllerTest, HiddenControlsLeaveTheirStripReservedAndWhite) {
    screen->hideControls();
    show();
    const QRectF area = screen->view()->bounds();
    const double stripTop = area.height() - ui::Toolbar::Height;
    EXPECT_EQ(webView->frame().bottom(), stripTop);
    EXPECT_EQ(screen->toolBar()->frame().top(), stripTop);

    const QImage shown = screen->view()->grab().toImage();
    const double scale = shown.devicePixelRatio();
    auto pixel = [&](double x, double y) { return shown.pixelColor(QPoint(int(x * scale), int(y * scale))); };
    EXPECT_EQ(pixel(area.width() / 2, stripTop + ui::Toolbar::Height / 2), QColor(Qt::white));
    EXPECT_EQ(pixel(area.width() / 2, area.height() - 1), QColor(Qt::white));
    EXPECT_EQ(pixel(area.width() / 2, stripTop - 2), webView->backgroundColor());
}

TEST_F(WebViewControllerTest, TitleThenButtonsThenTheDelegateFollowTheTitlesAnswer) {
    show();
    screen->setTitle(QStringLiteral("Help"));
    webView->finishLoad(firstHelpPage, true, false);
    ASSERT_EQ(webView->scripts, QStringList{"document.title"});
    settle();
    // Until the page answers nothing moves.
    EXPECT_EQ(screen->title(), QStringLiteral("Help"));
    EXPECT_FALSE(screen->backButton()->isEnabled());
    EXPECT_TRUE(delegate->told.empty());

    webView->answer(0, QStringLiteral("First"));
    settle();
    EXPECT_EQ(delegate->told, (std::vector<Told>{{"First", true, false}}));
    EXPECT_EQ(screen->title(), QStringLiteral("First"));
    EXPECT_EQ(screen->navigationItem().title(), QStringLiteral("First"));
}

TEST_F(WebViewControllerTest, APageWithoutATitleLeavesAnEmptyTitle) {
    show();
    screen->setTitle(QStringLiteral("Help"));
    webView->finishLoad(firstHelpPage, false, false);
    webView->answer(0, QString());
    settle();
    EXPECT_EQ(screen->title(), QString());
    EXPECT_EQ(delegate->told.size(), 1u);
}

struct TitleAnswerOrderCase {
    const char* name;
    std::vector<size_t> answerOrder;
    std::vector<Told> told;
    QString finalTitle;
};

class WebViewControllerAnswerOrderTest : public WebViewControllerTest,
                                         public testing::WithParamInterface<TitleAnswerOrderCase> {};

// Two loads finish before either title is known.
TEST_P(WebViewControllerAnswerOrderTest, LoadsAreFollowedInTheOrderTheyFinished) {
    show();
    screen->setTitle(QStringLiteral("Help"));
    webView->finishLoad(firstHelpPage, false, false);
    webView->finishLoad(secondHelpPage, true, false);
    ASSERT_EQ(webView->answers.size(), 2u);
    const QStringList titles{"First", "Second"};
    for (size_t index : GetParam().answerOrder) {
        webView->answer(index, titles[int(index)]);
        settle();
    }
    EXPECT_EQ(delegate->told, GetParam().told);
    EXPECT_EQ(screen->title(), GetParam().finalTitle);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, WebViewControllerAnswerOrderTest,
    testing::Values(
        TitleAnswerOrderCase{"InOrder", {0, 1}, {{"First", true, false}, {"Second", true, false}}, "Second"},
        // The first load is followed without its title, which arrives too late to count.
        TitleAnswerOrderCase{
            "Overtaken", {1, 0}, {{"Help", true, false}, {"Second", true, false}}, "Second"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WebViewControllerTest, AFailedLoadChangesNothingAndIsNotTold) {
    show();
    webView->finishLoad(firstHelpPage, true, false);
    webView->answer(0, QStringLiteral("First"));
    settle();
    ASSERT_EQ(delegate->told.size(), 1u);

    webView->back = false;
    webView->forward = true;
    webView->failLoad();
    settle();
    EXPECT_EQ(screen->title(), QStringLiteral("First"));
    EXPECT_TRUE(screen->backButton()->isEnabled());
    EXPECT_FALSE(screen->forwardButton()->isEnabled());
    EXPECT_EQ(delegate->told.size(), 1u);
    EXPECT_EQ(webView->scripts.size(), 1);
}

TEST_F(WebViewControllerTest, AnAnswerReachingAScreenThatIsGoneDoesNothing) {
    webView->finishLoad(firstHelpPage, true, false);
    std::weak_ptr<WebViewController> gone = screen;
    screen.reset();
    ASSERT_TRUE(gone.expired());
    webView->answer(0, QStringLiteral("First"));
    settle();
    EXPECT_TRUE(delegate->told.empty());
    // The web view no longer reports to it.
    webView->finishLoad(secondHelpPage, true, false);
    EXPECT_EQ(webView->scripts.size(), 1);
}

TEST_F(WebViewControllerTest, ADelegateThatHasGoneIsNotTold) {
    show();
    std::weak_ptr<RecordingWebPageDelegate> gone = delegate;
    delegate.reset();
    ASSERT_TRUE(gone.expired());
    webView->finishLoad(firstHelpPage, true, false);
    webView->answer(0, QStringLiteral("First"));
    settle();
    EXPECT_EQ(screen->title(), QStringLiteral("First"));
    EXPECT_TRUE(screen->backButton()->isEnabled());
}

TEST_F(WebViewControllerTest, TheToolbarMovesThroughThePageHistory) {
    show();
    webView->finishLoad(secondHelpPage, true, true);
    webView->answer(0, QStringLiteral("Second"));
    settle();
    for (const QString label : {"Back", "Forward", "Reload"}) {
        ASSERT_NE(toolbarButton(label), nullptr) << label.toStdString();
        test::tap(toolbarButton(label));
    }
    EXPECT_EQ(webView->calls, (QStringList{"back", "forward", "reload"}));
}

// The back button of the navigation bar leaves the screen; the toolbar's only moves back a page.
TEST_F(WebViewControllerTest, BackWithASenderPopsTheScreenWithoutOneGoesBackAPage) {
    auto presenter = std::make_shared<ui::ViewController>();
    auto navigation = std::make_shared<ui::NavigationController>(presenter);
    window.setRootViewController(navigation);
    window.show();
    auto back = std::make_shared<ui::BarButtonItem>(QStringLiteral("Close"), ui::BarButtonItem::Style::Plain,
                                                    ui::BarButtonItem::Action());
    back->setAction([screen = std::weak_ptr<WebViewController>(screen), item = back.get()] {
        if (auto controller = screen.lock()) controller->backButtonTapped(item);
    });
    screen->navigationItem().setLeftBarButtonItem(back);
    navigation->pushViewController(screen, true);
    test::drainAnimations();
    webView->finishLoad(secondHelpPage, true, false);
    webView->answer(0, QStringLiteral("Second"));
    settle();

    test::tap(toolbarButton(QStringLiteral("Back")));
    EXPECT_EQ(webView->calls, QStringList{"back"});
    EXPECT_EQ(navigation->topViewController(), screen);

    ui::Button* close = nullptr;
    for (ui::Button* button : navigation->navigationBar()->buttons())
        if (button->accessibilityLabel() == QStringLiteral("Close")) close = button;
    ASSERT_NE(close, nullptr);
    test::tap(close);
    test::drainAnimations();
    EXPECT_EQ(navigation->topViewController(), presenter);
    EXPECT_EQ(webView->calls, QStringList{"back"});
}

struct BrowserOpenCase {
    const char* name;
    QUrl page;
    bool opens;
};

class WebViewControllerOpenTest : public WebViewControllerTest,
                                  public testing::WithParamInterface<BrowserOpenCase> {};

TEST_P(WebViewControllerOpenTest, OnlyWebAddressesOpenInTheBrowser) {
    show();
    if (!GetParam().page.isEmpty()) {
        webView->finishLoad(GetParam().page, false, false);
        webView->answer(0, QStringLiteral("Page"));
        settle();
    }
    test::tap(toolbarButton(QStringLiteral("Open in Safari")));
    EXPECT_EQ(opened, GetParam().opens ? QList<QUrl>{GetParam().page} : QList<QUrl>{});
}

INSTANTIATE_TEST_SUITE_P(
    Pages, WebViewControllerOpenTest,
    testing::Values(BrowserOpenCase{"Https", firstHelpPage, true},
                    BrowserOpenCase{"Http", QUrl(QStringLiteral("http://127.0.0.1:8483/hc/en-us")), true},
                    BrowserOpenCase{"Bundled", QUrl(QStringLiteral("qrc:/pages/terms.html")), false},
                    BrowserOpenCase{"NothingLoaded", QUrl(), false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tovrin
