#pragma once

#include <QPointer>
#include <memory>
#include <vector>

#include "UserInterface/CheckmarkButton.h"
#include "UserInterface/KeyboardAccessoryView.h"
#include "UserInterface/TextFieldWithError.h"
#include "platform/di/Inject.h"
#include "platform/foundation/Date.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/controllers/ViewController.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/DatePicker.h"
#include "platform/ui/scrolling/ScrollView.h"

namespace tovrin {

class CreateAccountService;
class DeviceCurrentDateProvider;
class Error;
class StatusMessageQueue;

// The sign-up form: e-mail, password twice, date of birth from a date picker, the e-mail offers
// (pre-selected) and the terms of service. A tap while a sign-up is in flight sends nothing.
class CreateAccountViewController : public ui::ViewController, public KeyboardAccessoryViewDelegate {
public:
    using Dependencies =
        Inject<StatusMessageQueue, CreateAccountService, DeviceCurrentDateProvider, NotificationCenter>;

    CreateAccountViewController(std::shared_ptr<StatusMessageQueue> statusMessageQueue,
                                std::shared_ptr<CreateAccountService> createAccountService,
                                std::shared_ptr<DeviceCurrentDateProvider> currentDateProvider,
                                std::shared_ptr<NotificationCenter> notificationCenter);
    ~CreateAccountViewController() override;

    std::shared_ptr<ui::View> inputAccessoryView() const override;
    void keyboardAccessoryViewDone(KeyboardAccessoryView& view) override;

    ui::ScrollView* textFieldsScrollView() const { return textFieldsScrollView_; }
    TextFieldWithError* emailTextField() const { return emailTextField_; }
    TextFieldWithError* passwordTextField() const { return passwordTextField_; }
    TextFieldWithError* confirmPasswordTextField() const { return confirmPasswordTextField_; }
    TextFieldWithError* dateOfBirthTextField() const { return dateOfBirthTextField_; }
    ui::Button* createAccountButton() const { return createAccountButton_; }
    CheckmarkButton* offersCheckmarkButton() const { return offersCheckmarkButton_; }
    CheckmarkButton* termsOfServiceCheckmarkButton() const { return termsOfServiceCheckmarkButton_; }
    ui::DatePicker* datePicker() const { return datePicker_.get(); }
    Date dateOfBirth() const { return dateOfBirth_; }
    bool isCreatingAccount() const { return creating_; }

    void datePickerDidPickDate();
    void createAccountButtonTapped();

protected:
    void loadView() override;
    void viewDidLoad() override;
    void viewWillLayoutSubviews() override;

private:
    bool validateAllFields();
    bool validateBirthday();
    bool areAllInputTextfieldsValid() const;
    void changeBackgroundColorForLoginButton();
    void focusNextTextField(ui::Control& sender);
    void handleCreateAcccountError(const Error& error);

    std::shared_ptr<StatusMessageQueue> statusMessageQueue_;
    std::shared_ptr<CreateAccountService> createAccountService_;
    std::shared_ptr<DeviceCurrentDateProvider> currentDateProvider_;
    std::shared_ptr<NotificationCenter> notificationCenter_;

    QPointer<ui::ScrollView> textFieldsScrollView_;
    QPointer<TextFieldWithError> emailTextField_;
    QPointer<TextFieldWithError> passwordTextField_;
    QPointer<TextFieldWithError> confirmPasswordTextField_;
    QPointer<TextFieldWithError> dateOfBirthTextField_;
    QPointer<ui::Button> createAccountButton_;
    QPointer<ui::View> offersCheckmarkButtonContainer_;
    QPointer<ui::View> termsOfServiceCheckmarkButtonContainer_;
    QPointer<CheckmarkButton> offersCheckmarkButton_;
    QPointer<CheckmarkButton> termsOfServiceCheckmarkButton_;
    std::shared_ptr<ui::DatePicker> datePicker_;
    std::vector<QPointer<TextFieldWithError>> orderedTextfields_;
    Date dateOfBirth_;
    bool creating_ = false;
    mutable std::shared_ptr<KeyboardAccessoryView> keyboardAccessoryView_;
    std::vector<NotificationToken> keyboardObservers_;
};

}  // namespace tovrin
