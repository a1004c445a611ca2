#pragma once

#include <QPointer>
#include <memory>
#include <optional>

#include "API/NearbyUser.h"
#include "Authentication/SessionInfo.h"
#include "UserInterface/KeyboardAccessoryView.h"
#include "UserInterface/TextFieldWithError.h"
#include "UserInterface/WebViewController.h"
#include "platform/di/Inject.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/promise/Promise.h"
#include "platform/ui/controllers/ViewController.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/ImageView.h"
#include "platform/ui/views/LayoutConstraint.h"

namespace tovrin {

class BootstrapManager;
class Error;
class Injector;
class SessionService;
class StatusMessageQueue;

// The user-defaults flag of the hidden debug mode; the settings screen reads it.
inline const QString DebugUIUserDefaultsKey = QStringLiteral("Debug UI");
// An e-mail typed behind this prefix signs in with a fixed debug location and the debug flag on.
inline const QString LoginDebugPrefix = QStringLiteral("trace=");

// The screen of a member with no session: sign in, go to sign-up, or open the password-reset page.
class LoginViewController : public ui::ViewController,
                            public KeyboardAccessoryViewDelegate,
                            public WebViewControllerDelegate {
public:
    using Dependencies = Inject<SessionService, NotificationCenter, StatusMessageQueue, BootstrapManager>;

    LoginViewController(std::shared_ptr<SessionService> loginService,
                        std::shared_ptr<NotificationCenter> notificationCenter,
                        std::shared_ptr<StatusMessageQueue> statusMessageQueue,
                        std::shared_ptr<BootstrapManager> bootstrapManager);
    ~LoginViewController() override;

    // The container outlives every screen it made, so it is not kept alive from here.
    void setInjector(Injector* injector) { injector_ = injector; }
    Injector* injector() const { return injector_; }

    std::shared_ptr<ui::View> inputAccessoryView() const override;
    void keyboardAccessoryViewDone(KeyboardAccessoryView& view) override;
    void webViewControllerDidFinishLoading(WebViewController& controller) override;
    void touchesBegan(const ui::Touches& touches) override;

    // The checks; each shows its field's error when it fails.
    bool isEmailEntered();
    bool isPasswordEntered();

    // Outlets, made with the view.
    ui::ImageView* logoImageView() const { return logoImageView_; }
    ui::View* formView() const { return formView_; }
    TextFieldWithError* emailTextField() const { return emailTextField_; }
    TextFieldWithError* passwordTextField() const { return passwordTextField_; }
    ui::Button* joinButton() const { return joinButton_; }
    ui::Button* forgotPasswordButton() const { return forgotPasswordButton_; }
    ui::Button* loginButton() const { return loginButton_; }
    const std::shared_ptr<ui::LayoutConstraint>& topFormConstraint() const { return topFormConstraint_; }
    const std::shared_ptr<ui::LayoutConstraint>& formBottomConstraint() const {
        return formBottomConstraint_;
    }
    const std::shared_ptr<ui::LayoutConstraint>& formVerticalCenterConstraint() const {
        return formVerticalCenterConstraint_;
    }

    void didShowIntentToLogin();
    void didTapForgotPassword();
    void didTapJoin();

protected:
    void loadView() override;
    void viewDidLoad() override;
    void viewWillLayoutSubviews() override;
    ui::StatusBarStyle preferredStatusBarStyle() const override { return ui::StatusBarStyle::LightContent; }

private:
    void didTapNextOnEmailTextField();
    void textFieldDidChange();
    void changeBackgroundColorForLoginButton();
    void keyboardWillAppear(const Notification& notification);
    void keyboardWillDisappear(const Notification& notification);
    void didFailWithError(const Error& error);
    QString errorMessageFromError(const Error& error) const;
    Promise<void> finishLogin(const SessionInfo& info, bool debug);

    std::shared_ptr<SessionService> loginService_;
    std::shared_ptr<NotificationCenter> notificationCenter_;
    std::shared_ptr<StatusMessageQueue> statusMessageQueue_;
    std::shared_ptr<BootstrapManager> bootstrapManager_;
    Injector* injector_ = nullptr;

    QPointer<ui::ImageView> logoImageView_;
    QPointer<ui::View> formView_;
    QPointer<TextFieldWithError> emailTextField_;
    QPointer<TextFieldWithError> passwordTextField_;
    QPointer<ui::Button> joinButton_;
    QPointer<ui::Button> forgotPasswordButton_;
    QPointer<ui::Button> loginButton_;
    std::shared_ptr<ui::LayoutConstraint> topFormConstraint_;
    std::shared_ptr<ui::LayoutConstraint> formBottomConstraint_;
    std::shared_ptr<ui::LayoutConstraint> formVerticalCenterConstraint_;

    mutable std::shared_ptr<KeyboardAccessoryView> keyboardAccessoryView_;
    // The attempt in progress: a newer one cancels it, so its late outcome neither routes nor reports.
    std::shared_ptr<bool> existingAttemptCancelled_;
    std::vector<NotificationToken> keyboardObservers_;
};

}  // namespace tovrin
