#pragma once

#include <QPointer>
#include <memory>
#include <vector>

#include "UserInterface/KeyboardAccessoryView.h"
#include "UserInterface/TextFieldWithError.h"
#include "platform/di/Inject.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/controllers/ViewController.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/scrolling/ScrollView.h"
#include "platform/ui/text/Label.h"

namespace tovrin {

class AuthStorage;
class Error;
class StatusMessageQueue;
class UpdateEmailService;
class UpdateEmailViewController;

class UpdateEmailViewControllerDelegate {
public:
    virtual ~UpdateEmailViewControllerDelegate() = default;
    // The address changed; the screen does not close itself.
    virtual void updateEmailViewControllerDidChangeEmail(UpdateEmailViewController& controller) = 0;
};

// The change of e-mail: the current address, the new one and the current password.
class UpdateEmailViewController : public ui::ViewController, public KeyboardAccessoryViewDelegate {
public:
    using Dependencies = Inject<UpdateEmailService, AuthStorage, StatusMessageQueue, NotificationCenter>;

    UpdateEmailViewController(std::shared_ptr<UpdateEmailService> updateEmailService,
                              std::shared_ptr<AuthStorage> authStorage,
                              std::shared_ptr<StatusMessageQueue> statusMessageQueue,
                              std::shared_ptr<NotificationCenter> notificationCenter);
    ~UpdateEmailViewController() override;

    std::shared_ptr<UpdateEmailViewControllerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<UpdateEmailViewControllerDelegate> delegate) {
        delegate_ = std::move(delegate);
    }

    std::shared_ptr<ui::View> inputAccessoryView() const override;
    void keyboardAccessoryViewDone(KeyboardAccessoryView& view) override;

    ui::ScrollView* textFieldsScrollView() const { return textFieldsScrollView_; }
    ui::Label* emailLabel() const { return emailLabel_; }
    TextFieldWithError* changeEmailTextField() const { return changeEmailTextField_; }
    TextFieldWithError* currentPasswordTextField() const { return currentPasswordTextField_; }
    ui::Button* changeEmailButton() const { return changeEmailButton_; }

    bool isValidEmailEntered();
    bool isPasswordEntered();
    void didTapChangeEmail();

protected:
    void loadView() override;
    void viewDidLoad() override;
    void viewWillLayoutSubviews() override;

private:
    void updateUI();
    void focusNextTextField(ui::Control& sender);
    void didReceiveKeyboardWillShowNotification(const Notification& notification);
    void didReceiveKeyboardWillHideNotification(const Notification& notification);
    void didFailWithError(const Error& error);

    std::shared_ptr<UpdateEmailService> updateEmailService_;
    std::shared_ptr<AuthStorage> authStorage_;
    std::shared_ptr<StatusMessageQueue> statusMessageQueue_;
    std::shared_ptr<NotificationCenter> notificationCenter_;
    std::weak_ptr<UpdateEmailViewControllerDelegate> delegate_;

    QPointer<ui::ScrollView> textFieldsScrollView_;
    QPointer<ui::View> formView_;
    QPointer<ui::Label> emailLabel_;
    QPointer<TextFieldWithError> changeEmailTextField_;
    QPointer<TextFieldWithError> currentPasswordTextField_;
    QPointer<ui::Button> changeEmailButton_;
    std::vector<QPointer<TextFieldWithError>> orderedTextFields_;
    mutable std::shared_ptr<KeyboardAccessoryView> keyboardAccessoryView_;
    std::vector<NotificationToken> keyboardObservers_;
};

}  // namespace tovrin
