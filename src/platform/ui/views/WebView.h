#pragma once

#include <QString>
#include <QUrl>
#include <QVariant>
#include <memory>

#include "platform/net/URLRequest.h"
#include "platform/promise/Promise.h"
#include "platform/ui/views/View.h"

namespace tovrin::ui {

class WebView;

class WebViewDelegate {
public:
    virtual ~WebViewDelegate() = default;
    // The page in the view finished loading.
    virtual void webViewDidFinishLoad(WebView& webView) = 0;
    // A load failed or was refused; the view keeps what it showed.
    virtual void webViewDidFailLoad(WebView& webView) {}
};

// A view that shows web pages: http, https and pages bundled with the application (qrc:). Loads
// of any other scheme are refused. Pages are laid out to the view's width.
class WebView : public View {
public:
    using View::View;

    virtual void loadRequest(const net::URLRequest& request) = 0;
    virtual void goBack() = 0;
    virtual void goForward() = 0;
    virtual void reload() = 0;
    virtual bool canGoBack() const = 0;
    virtual bool canGoForward() const = 0;
    // The address of the page on screen; empty before the first page.
    virtual QUrl currentURL() const = 0;
    // Runs a script in the page on screen and answers with its value (JSON-like values become
    // QVariant); an invalid QVariant when there is no page.
    virtual Promise<QVariant> evaluateJavaScript(const QString& script) = 0;

    // Held weakly.
    void setDelegate(std::weak_ptr<WebViewDelegate> delegate) { delegate_ = std::move(delegate); }

protected:
    void tellDidFinishLoad() {
        if (auto delegate = delegate_.lock()) delegate->webViewDidFinishLoad(*this);
    }
    void tellDidFailLoad() {
        if (auto delegate = delegate_.lock()) delegate->webViewDidFailLoad(*this);
    }

private:
    std::weak_ptr<WebViewDelegate> delegate_;
};

}  // namespace tovrin::ui
