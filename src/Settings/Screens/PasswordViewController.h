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
class PasswordViewController;
class StatusMessageQueue;
class UpdatePasswordService;

class PasswordViewControllerDelegate {
public:
    virtual ~PasswordViewControllerDelegate() = default;
    // The password changed; the screen does not close itself.
    virtual void passwordViewControllerDidChangePassword(PasswordViewController& controller) = 0;
};

// The change of password: the account's e-mail, the current password, the new one and its
// confirmation, checked here before anything is sent.
class PasswordViewController : public ui::ViewController, public KeyboardAccessoryViewDelegate {
public:
    using Dependencies = Inject<UpdatePasswordService, AuthStorage, StatusMessageQueue, NotificationCenter>;

    PasswordViewController(std::shared_ptr<UpdatePasswordService> updatePasswordService,
                           std::shared_ptr<AuthStorage> authStorage,
                           std::shared_ptr<StatusMessageQueue> statusMessageQueue,
                           std::shared_ptr<NotificationCenter> notificationCenter);
    ~PasswordViewController() override;

    std::shared_ptr<PasswordViewControllerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<PasswordViewControllerDelegate> delegate) {
        delegate_ = std::move(delegate);
    }

    std::shared_ptr<ui::View> inputAccessoryView() const override;
    void keyboardAccessoryViewDone(KeyboardAccessoryView& view) override;

    ui::ScrollView* textFieldsScrollView() const { return textFieldsScrollView_; }
    ui::Label* emailLabel() const { return emailLabel_; }
    TextFieldWithError* oldPasswordTextField() const { return oldPasswordTextField_; }
    TextFieldWithError* myNewPasswordTextField() const { return myNewPasswordTextField_; }
    TextFieldWithError* confirmPasswordTextField() const { return confirmPasswordTextField_; }
    ui::Button* changePasswordButton() const { return changePasswordButton_; }

    void didTapChangePassword();

protected:
    void loadView() override;
    void viewDidLoad() override;
    void viewWillLayoutSubviews() override;

private:
    bool areAllInputTextfieldsValid() const;
    void updateUI();
    void focusNextTextField(ui::Control& sender);
    void didReceiveKeyboardWillShowNotification(const Notification& notification);
    void didReceiveKeyboardWillHideNotification(const Notification& notification);
    void didFailWithError(const Error& error);

    std::shared_ptr<UpdatePasswordService> updatePasswordService_;
    std::shared_ptr<AuthStorage> authStorage_;
    std::shared_ptr<StatusMessageQueue> statusMessageQueue_;
    std::shared_ptr<NotificationCenter> notificationCenter_;
    std::weak_ptr<PasswordViewControllerDelegate> delegate_;

    QPointer<ui::ScrollView> textFieldsScrollView_;
    QPointer<ui::Label> emailLabel_;
    QPointer<ui::View> formView_;
    QPointer<TextFieldWithError> oldPasswordTextField_;
    QPointer<TextFieldWithError> myNewPasswordTextField_;
    QPointer<TextFieldWithError> confirmPasswordTextField_;
    QPointer<ui::Button> changePasswordButton_;
    std::vector<QPointer<TextFieldWithError>> orderedTextFields_;
    mutable std::shared_ptr<KeyboardAccessoryView> keyboardAccessoryView_;
    std::vector<NotificationToken> keyboardObservers_;
};

}  // namespace tovrin
