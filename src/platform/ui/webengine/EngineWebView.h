#pragma once

#include <QString>
#include <memory>

#include "platform/ui/views/WebView.h"

namespace tovrin::ui {

// Sets the process up for the web engine; call it before the QApplication exists. The engine
// itself starts only with the first page.
void prepareWebEngineProcess();

// The web view over Qt WebEngine. Every view shares one off-the-record profile, made when the first
// page loads: nothing of the browsing is written to disk. Besides the system's authorities it trusts
// only the ones in `extraTrustedCAFile` (PEM; empty for none).
class EngineWebView : public WebView {
public:
    explicit EngineWebView(QString extraTrustedCAFile = {}, QWidget* parent = nullptr);
    ~EngineWebView() override;

    void loadRequest(const net::URLRequest& request) override;
    void goBack() override;
    void goForward() override;
    void reload() override;
    bool canGoBack() const override;
    bool canGoForward() const override;
    QUrl currentURL() const override;
    Promise<QVariant> evaluateJavaScript(const QString& script) override;

    // Whether a web view of this process has started the engine.
    static bool engineStarted();

protected:
    void layoutSubviews() override;

private:
    struct Private;
    std::unique_ptr<Private> d_;
};

}  // namespace tovrin::ui
