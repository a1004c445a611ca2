#include <gtest/gtest.h>

#include "UserInterface/WebViewController.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/system/Application.h"
#include "platform/ui/views/Window.h"
#include "platform/ui/webengine/EngineWebView.h"
#include "sandbox/Sandbox.h"
#include "sandbox/SandboxOptions.h"
#include "support/TestSupport.h"

namespace tovrin {
namespace {

// The sandbox starts its chat server too, which takes a while under the sanitizers.
constexpr int sandboxStartPatience = 180000;
constexpr int formPagePatience = 30000;

class TitlesTold : public WebViewControllerDelegate {
public:
    void webViewControllerDidFinishLoading(WebViewController& controller) override {
        titles << controller.title();
    }
    QStringList titles;
};

struct SandboxForm {
    const char* name;
    const char* path;
    const char* formTitle;
    // Fills the form in as a person would and presses its button.
    const char* fillAndSend;
    const char* confirmationTitle;
    const char* confirmationText;
};

const SandboxForm sandboxForms[] = {
    {"PasswordReset", "/v3/user/password/reset/request?locale=en-US", "Reset your password",
     "document.querySelector('input[name=email]').value = 'demo@tovrin.test';"
     "document.querySelector('button[type=submit]').click();",
     "Check your email", "If an account exists for demo@tovrin.test"},
    {"HelpRequest", "/hc/en-us/requests/new?ticket_form_id=24024", "Submit a request",
     "document.querySelector('input[name=email]').value = 'demo@tovrin.test';"
     "document.querySelector('input[name=subject]').value = 'Photo upload';"
     "document.querySelector('textarea[name=description]').value = 'My new photo never appears.';"
     "document.querySelector('button[type=submit]').click();",
     "Request received", "Your request has been received."},
};

class SandboxWebPagesTest : public testing::Test {
protected:
    std::shared_ptr<sandbox::Sandbox> sandbox;
    std::shared_ptr<Application> application =
        std::make_shared<Application>(std::make_shared<NotificationCenter>());
    ui::Window window{application};
    std::shared_ptr<TitlesTold> delegate = std::make_shared<TitlesTold>();

    void SetUp() override {
        sandbox = std::make_shared<sandbox::Sandbox>(sandbox::SandboxOptions::forTests());
        const Promise<void> started = sandbox->start();
        ASSERT_TRUE(test::waitFor(started, sandboxStartPatience));
        ASSERT_TRUE(started.isFulfilled()) << started.error()->description().toStdString();
    }
    void TearDown() override {
        if (sandbox) sandbox->stop();
        test::drainMainQueue();
    }

    // Runs until the screen has told its delegate of one more page.
    bool nextPageTold(const std::function<void()>& start) {
        const qsizetype before = delegate->titles.size();
        start();
        return test::runUntil([&] { return delegate->titles.size() > before; }, formPagePatience);
    }
    QString pageText(WebViewController& screen) {
        Promise<QVariant> text =
            screen.webView()->evaluateJavaScript(QStringLiteral("document.body.innerText"));
        EXPECT_TRUE(test::waitFor(text, formPagePatience));
        return text.value().value_or(QVariant()).toString();
    }
};

TEST_F(SandboxWebPagesTest, FormsFilledAndSentInTheScreenAnswerWithTheirConfirmation) {
    for (const SandboxForm& form : sandboxForms) {
        SCOPED_TRACE(form.name);
        auto screen = std::make_shared<WebViewController>(
            ui::sharedWidget<ui::WebView>(new ui::EngineWebView()), application);
        screen->setDelegate(delegate);
        window.setRootViewController(screen);
        window.show();
        const QUrl page = sandbox->authenticationWebURL().resolved(QUrl(QString::fromLatin1(form.path)));
        ASSERT_TRUE(nextPageTold([&] { screen->loadRequest(net::URLRequest(page)); }));
        EXPECT_EQ(screen->title(), QString::fromLatin1(form.formTitle));

        ASSERT_TRUE(nextPageTold(
            [&] { screen->webView()->evaluateJavaScript(QString::fromLatin1(form.fillAndSend)); }));
        EXPECT_EQ(screen->title(), QString::fromLatin1(form.confirmationTitle));
        const QString confirmation = pageText(*screen);
        EXPECT_TRUE(confirmation.contains(QString::fromLatin1(form.confirmationText)))
            << confirmation.toStdString();
    }
}

}  // namespace
}  // namespace tovrin
