#pragma once

#include <QColor>
#include <QPointer>
#include <deque>
#include <memory>

#include "platform/di/Inject.h"
#include "platform/net/URLRequest.h"
#include "platform/ui/controllers/Toolbar.h"
#include "platform/ui/controllers/ViewController.h"
#include "platform/ui/views/WebView.h"

namespace tovrin {

class Application;

namespace ui {
class BarButtonItem;
}  // namespace ui

class WebViewController;

class WebViewControllerDelegate {
public:
    virtual ~WebViewControllerDelegate() = default;
    // Told after each finished page load, once the title and the toolbar follow it.
    virtual void webViewControllerDidFinishLoading(WebViewController& controller) = 0;
};

// One web page with a bottom toolbar: back, forward, reload and open in the browser. The page's
// document title becomes the screen's title after each finished load. Screens get it from the
// container, hand it a request and show it.
class WebViewController : public ui::ViewController, public ui::WebViewDelegate {
public:
    // The container hands in a new web view for each screen.
    using Dependencies = Inject<ui::WebView, Application>;

    WebViewController(std::shared_ptr<ui::WebView> webView, std::shared_ptr<Application> application);
    ~WebViewController() override;

    std::shared_ptr<WebViewControllerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<WebViewControllerDelegate> delegate) { delegate_ = std::move(delegate); }

    ui::WebView* webView() const { return webView_; }
    ui::Toolbar* toolBar() const { return toolBar_; }
    // Made when the view loads.
    const std::shared_ptr<ui::BarButtonItem>& backButton() const { return backButton_; }
    const std::shared_ptr<ui::BarButtonItem>& forwardButton() const { return forwardButton_; }
    const std::shared_ptr<ui::BarButtonItem>& openInSafariButton() const { return openInSafariButton_; }
    const std::shared_ptr<ui::BarButtonItem>& reloadButton() const { return reloadButton_; }
    const std::shared_ptr<Application>& application() const { return application_; }

    // These three work before the view has loaded, as callers set the screen up before showing it.
    void loadRequest(const net::URLRequest& request);
    void hideControls();
    QColor toolbarTintColor() const;
    void setToolbarTintColor(const QColor& color);

    // Pops the screen: the action of a back button that a presenting screen puts in this screen's
    // navigation item.
    void backButtonTapped(ui::BarButtonItem* sender);
    // The toolbar's actions. Going back here moves through the page history.
    void backButtonTapped();
    void forwardButtonTapped();
    void reloadButtonTapped();
    void openInSafariButtonTapped();

    void webViewDidFinishLoad(ui::WebView& webView) override;

protected:
    void viewDidLoad() override;

public:
    void viewWillLayoutSubviews() override;

private:
    struct FinishedLoad;

    void titleAnswered(const std::shared_ptr<FinishedLoad>& load);
    void updateButtonState();

    std::weak_ptr<WebViewControllerDelegate> delegate_;
    // The handles delete the views while no view holds them (a screen never shown).
    std::shared_ptr<ui::WebView> webViewHandle_;
    QPointer<ui::WebView> webView_;
    std::shared_ptr<ui::Toolbar> toolBarHandle_;
    QPointer<ui::Toolbar> toolBar_;
    std::shared_ptr<ui::BarButtonItem> backButton_;
    std::shared_ptr<ui::BarButtonItem> forwardButton_;
    std::shared_ptr<ui::BarButtonItem> openInSafariButton_;
    std::shared_ptr<ui::BarButtonItem> reloadButton_;
    std::shared_ptr<Application> application_;
    // The web view holds its delegate weakly; this keeps that reference alive exactly as long as
    // the screen.
    std::shared_ptr<char> delegateLifetime_;
    // Loads whose title has not been applied yet, oldest first.
    std::deque<std::shared_ptr<FinishedLoad>> finishedLoads_;
};

}  // namespace tovrin
