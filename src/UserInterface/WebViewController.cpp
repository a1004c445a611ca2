#include "UserInterface/WebViewController.h"

#include "platform/foundation/Localization.h"
#include "platform/system/Application.h"
#include "platform/ui/controllers/BarButtonItem.h"
#include "platform/ui/controllers/NavigationController.h"
#include "platform/ui/controllers/Toolbar.h"
#include "platform/ui/views/Image.h"

namespace tovrin {

// A finished load whose "document.title" answer may still be out.
struct WebViewController::FinishedLoad {
    std::optional<QString> title;
};

namespace {

std::shared_ptr<ui::BarButtonItem> browserToolbarItem(const char* imageName, const char* label,
                                                      ui::BarButtonItem::Action action) {
    auto item = std::make_shared<ui::BarButtonItem>(ui::Image::named(QString::fromLatin1(imageName)),
                                                    ui::BarButtonItem::Style::Plain, std::move(action));
    item->setAccessibilityLabel(localizedString(label));
    return item;
}

bool opensInTheBrowser(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

}  // namespace

WebViewController::WebViewController(std::shared_ptr<ui::WebView> webView,
                                     std::shared_ptr<Application> application)
    : webViewHandle_(std::move(webView)),
      webView_(webViewHandle_.get()),
      toolBarHandle_(ui::sharedWidget(new ui::Toolbar())),
      toolBar_(toolBarHandle_.get()),
      application_(std::move(application)),
      delegateLifetime_(std::make_shared<char>()) {
    TVR_ASSERT(webView_ != nullptr, "A web page screen needs a web view");
    webView_->setDelegate(std::shared_ptr<ui::WebViewDelegate>(delegateLifetime_, this));
}

WebViewController::~WebViewController() {
    if (webView_) webView_->setDelegate({});
}

void WebViewController::loadRequest(const net::URLRequest& request) {
    webView_->loadRequest(request);
}

void WebViewController::hideControls() {
    toolBar_->setHidden(true);
}

QColor WebViewController::toolbarTintColor() const {
    return toolBar_->barTintColor();
}

void WebViewController::setToolbarTintColor(const QColor& color) {
    toolBar_->setBarTintColor(color);
}

void WebViewController::backButtonTapped(ui::BarButtonItem*) {
    if (auto navigation = navigationController()) navigation->popViewControllerAnimated(true);
}

void WebViewController::backButtonTapped() {
    webView_->goBack();
}

void WebViewController::forwardButtonTapped() {
    webView_->goForward();
}

void WebViewController::reloadButtonTapped() {
    webView_->reload();
}

void WebViewController::openInSafariButtonTapped() {
    // A bundled page has no address outside the application.
    const QUrl url = webView_->currentURL();
    if (opensInTheBrowser(url)) application_->openURL(url);
}

void WebViewController::webViewDidFinishLoad(ui::WebView&) {
    auto load = std::make_shared<FinishedLoad>();
    finishedLoads_.push_back(load);
    const std::weak_ptr<WebViewController> screen = weakSelf<WebViewController>();
    webView_->evaluateJavaScript(QStringLiteral("document.title"))
        .then(screen,
              [load](WebViewController& controller, const QVariant& title) {
                  load->title = title.toString();
                  controller.titleAnswered(load);
              })
        .catchError(screen,
                    [load](WebViewController& controller, const Error&) { controller.titleAnswered(load); });
}

// Loads follow in the order they finished. An answer that overtakes an earlier one brings the
// earlier loads along without their titles, and a later answer to them is stale: a page's title
// never replaces a newer page's.
void WebViewController::titleAnswered(const std::shared_ptr<FinishedLoad>& load) {
    if (std::find(finishedLoads_.begin(), finishedLoads_.end(), load) == finishedLoads_.end()) return;
    while (!finishedLoads_.empty()) {
        const std::shared_ptr<FinishedLoad> next = finishedLoads_.front();
        finishedLoads_.pop_front();
        if (next == load && load->title) setTitle(*load->title);
        updateButtonState();
        if (auto delegate = delegate_.lock()) delegate->webViewControllerDidFinishLoading(*this);
        if (next == load) break;
    }
}

void WebViewController::viewDidLoad() {
    ViewController::viewDidLoad();
    view()->setBackgroundColor(Qt::white);

    std::weak_ptr<WebViewController> screen = weakSelf<WebViewController>();
    auto action = [screen](void (WebViewController::*tapped)()) {
        return [screen, tapped] {
            if (auto controller = screen.lock()) ((*controller).*tapped)();
        };
    };
    backButton_ = browserToolbarItem("browser-back", "Back", action(&WebViewController::backButtonTapped));
    forwardButton_ =
        browserToolbarItem("browser-forward", "Forward", action(&WebViewController::forwardButtonTapped));
    reloadButton_ =
        browserToolbarItem("browser-reload", "Reload", action(&WebViewController::reloadButtonTapped));
    openInSafariButton_ = browserToolbarItem("browser-share", "Open in Safari",
                                             action(&WebViewController::openInSafariButtonTapped));

    view()->addSubview(webView_);
    view()->addSubview(toolBar_);
    toolBar_->setTranslucent(false);
    toolBar_->setItems({backButton_, ui::BarButtonItem::flexibleSpace(), forwardButton_,
                        ui::BarButtonItem::flexibleSpace(), reloadButton_, ui::BarButtonItem::flexibleSpace(),
                        openInSafariButton_});
    updateButtonState();
}

// The toolbar keeps its strip at the bottom even while hidden: the page never runs under it.
void WebViewController::viewWillLayoutSubviews() {
    ViewController::viewWillLayoutSubviews();
    const QRectF area = view()->bounds();
    const double toolbarHeight = toolBar_->sizeThatFits(area.size()).height();
    const double pageHeight = std::max(0.0, area.height() - toolbarHeight);
    webView_->setFrame(QRectF(area.left(), area.top(), area.width(), pageHeight));
    toolBar_->setFrame(QRectF(area.left(), area.top() + pageHeight, area.width(), toolbarHeight));
}

void WebViewController::updateButtonState() {
    if (!backButton_) return;
    backButton_->setEnabled(webView_->canGoBack());
    forwardButton_->setEnabled(webView_->canGoForward());
    reloadButton_->setEnabled(true);
    openInSafariButton_->setEnabled(true);
}

}  // namespace tovrin
