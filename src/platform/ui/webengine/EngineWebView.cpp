#include "platform/ui/webengine/EngineWebView.h"

#include <unistd.h>
#include <QCoreApplication>
#include <QSslCertificate>
#include <QSslError>
#include <QWebEngineCertificateError>
#include <QWebEngineHistory>
#include <QWebEngineHttpRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace tovrin::ui {

namespace {

bool isAllowedScheme(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
           scheme == QLatin1String("qrc");
}

// Whether the presented chain leads to one of the authorities for the host. The chain is verified
// again with the authority put in place of any root the server sent: the only error allowed is that
// this root is not among the system's.
bool chainLeadsToAuthority(const QList<QSslCertificate>& presented, const QString& host,
                           const QList<QSslCertificate>& authorities) {
    QList<QSslCertificate> intermediates;
    for (const QSslCertificate& certificate : presented) {
        if (intermediates.isEmpty() || (!certificate.isSelfSigned() && !authorities.contains(certificate))) {
            intermediates.append(certificate);
        }
    }
    if (intermediates.isEmpty()) return false;
    for (const QSslCertificate& authority : authorities) {
        const QList<QSslError> errors = QSslCertificate::verify(intermediates + QList{authority}, host);
        const bool onlyUntrustedRoot = std::all_of(errors.begin(), errors.end(), [&](const QSslError& error) {
            return error.error() == QSslError::SelfSignedCertificateInChain &&
                   error.certificate() == authority;
        });
        if (onlyUntrustedRoot) return true;
    }
    return false;
}

class Page : public QWebEnginePage {
public:
    Page(QWebEngineProfile* profile, QList<QSslCertificate> authorities, QObject* parent)
        : QWebEnginePage(profile, parent), authorities_(std::move(authorities)) {
        connect(this, &QWebEnginePage::certificateError, this, [this](QWebEngineCertificateError error) {
            const bool trusted =
                error.type() == QWebEngineCertificateError::CertificateAuthorityInvalid &&
                chainLeadsToAuthority(error.certificateChain(), error.url().host(), authorities_);
            if (trusted) {
                error.acceptCertificate();
            } else {
                error.rejectCertificate();
            }
        });
    }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override {
        return !isMainFrame || isAllowedScheme(url);
    }

private:
    QList<QSslCertificate> authorities_;
};

QWebEngineProfile*& sharedProfile() {
    static QWebEngineProfile* profile = nullptr;
    return profile;
}

// A profile without a storage name is off the record. It lives as long as the application.
QWebEngineProfile* profile() {
    QWebEngineProfile*& profile = sharedProfile();
    if (!profile) profile = new QWebEngineProfile(QCoreApplication::instance());
    return profile;
}

QWebEngineHttpRequest engineRequest(const net::URLRequest& request) {
    QWebEngineHttpRequest result(request.URL());
    if (request.HTTPMethod().compare(QLatin1String("POST"), Qt::CaseInsensitive) == 0) {
        result.setMethod(QWebEngineHttpRequest::Post);
    }
    for (const auto& [name, value] : request.allHTTPHeaderFields()) {
        result.setHeader(name.toLatin1(), value.toLatin1());
    }
    if (request.HTTPBody()) result.setPostData(*request.HTTPBody());
    return result;
}

}  // namespace

void prepareWebEngineProcess() {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen") {
        QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
        if (!flags.contains("--disable-gpu")) {
            flags = flags.isEmpty() ? QByteArray("--disable-gpu") : flags + " --disable-gpu";
            qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
        }
    }
    // The engine's sandbox cannot run as root; a normal user keeps it.
    if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

struct EngineWebView::Private {
    QString extraTrustedCAFile;
    // Made at the first load, so that a view never shown with a page costs no engine.
    QWebEngineView* engineView = nullptr;

    QWebEnginePage* page() const { return engineView ? engineView->page() : nullptr; }
};

EngineWebView::EngineWebView(QString extraTrustedCAFile, QWidget* parent)
    : WebView(parent), d_(std::make_unique<Private>()) {
    d_->extraTrustedCAFile = std::move(extraTrustedCAFile);
}

EngineWebView::~EngineWebView() = default;

bool EngineWebView::engineStarted() {
    return sharedProfile() != nullptr;
}

void EngineWebView::loadRequest(const net::URLRequest& request) {
    if (!isAllowedScheme(request.URL())) {
        qWarning("The web view does not load %s", qUtf8Printable(request.URL().scheme()));
        QPointer<EngineWebView> self(this);
        QTimer::singleShot(0, this, [self] {
            if (self) self->tellDidFailLoad();
        });
        return;
    }
    if (!d_->engineView) {
        QList<QSslCertificate> authorities;
        if (!d_->extraTrustedCAFile.isEmpty()) {
            authorities = QSslCertificate::fromPath(d_->extraTrustedCAFile, QSsl::Pem);
            if (authorities.isEmpty()) {
                qWarning("No certificate authority could be read from %s",
                         qUtf8Printable(d_->extraTrustedCAFile));
            }
        }
        d_->engineView = new QWebEngineView(this);
        auto* page = new Page(profile(), std::move(authorities), d_->engineView);
        d_->engineView->setPage(page);
        connect(page, &QWebEnginePage::loadFinished, this, [this](bool ok) {
            if (ok) {
                tellDidFinishLoad();
            } else {
                tellDidFailLoad();
            }
        });
        addSubview(d_->engineView);
        setNeedsLayout();
        layoutIfNeeded();
    }
    d_->engineView->load(engineRequest(request));
}

void EngineWebView::goBack() {
    if (auto* page = d_->page()) page->triggerAction(QWebEnginePage::Back);
}

void EngineWebView::goForward() {
    if (auto* page = d_->page()) page->triggerAction(QWebEnginePage::Forward);
}

void EngineWebView::reload() {
    if (auto* page = d_->page()) page->triggerAction(QWebEnginePage::Reload);
}

bool EngineWebView::canGoBack() const {
    return d_->page() && d_->page()->history()->canGoBack();
}

bool EngineWebView::canGoForward() const {
    return d_->page() && d_->page()->history()->canGoForward();
}

QUrl EngineWebView::currentURL() const {
    return d_->page() ? d_->page()->url() : QUrl();
}

Promise<QVariant> EngineWebView::evaluateJavaScript(const QString& script) {
    auto* page = d_->page();
    if (!page) return Promise<QVariant>::resolved(QVariant());
    auto [promise, resolver] = Promise<QVariant>::pending();
    page->runJavaScript(script, [resolver](const QVariant& value) { resolver.fulfill(value); });
    return promise;
}

void EngineWebView::layoutSubviews() {
    // Qt WebEngine lays a page out to the widget's width; the widget fills the view.
    if (d_->engineView) d_->engineView->setGeometry(QRect(QPoint(), bounds().size().toSize()));
}

}  // namespace tovrin::ui
