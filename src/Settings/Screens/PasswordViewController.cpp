#include "Settings/Screens/PasswordViewController.h"

#include "Authentication/AuthStorage.h"
#include "Categories/Error+TovrinErrorString.h"
#include "Categories/UI/AttributedString+Tovrin.h"
#include "Categories/UI/Color+Tovrin.h"
#include "Categories/UI/Font+Tovrin.h"
#include "Categories/UI/ViewController+ModalActivityView.h"
#include "StatusMessages/StatusMessageQueue.h"
#include "UpdatePasswordService.h"
#include "UserInterface/Nibs.h"
#include "platform/foundation/Localization.h"
#include "platform/ui/controllers/BarButtonItem.h"
#include "platform/ui/controllers/NavigationBar.h"
#include "platform/ui/controllers/NavigationController.h"
#include "platform/ui/controllers/NavigationItem.h"
#include "platform/ui/input/Keyboard.h"

namespace tovrin {

namespace {

constexpr double passwordFormMargin = 24;
constexpr double passwordFieldHeight = 50;
constexpr double passwordFieldGap = 12;
constexpr int minimumPasswordLength = 6;

TextFieldWithError* makeChangePasswordField(const QString& placeholder, const QString& identifier) {
    auto* field = new TextFieldWithError(placeholder, QRectF());
    field->setSecureTextEntry(true);
    field->setBackgroundColor(tovrinGrayBlack1Color());
    field->setTextColor(tovrinOffWhiteColor());
    field->setFont(tovrinFont(QStringLiteral("DIN OT"), 16));
    field->setCornerRadius(4);
    field->setAccessibilityIdentifier(identifier);
    return field;
}

}  // namespace

PasswordViewController::PasswordViewController(std::shared_ptr<UpdatePasswordService> updatePasswordService,
                                               std::shared_ptr<AuthStorage> authStorage,
                                               std::shared_ptr<StatusMessageQueue> statusMessageQueue,
                                               std::shared_ptr<NotificationCenter> notificationCenter)
    : updatePasswordService_(std::move(updatePasswordService)),
      authStorage_(std::move(authStorage)),
      statusMessageQueue_(std::move(statusMessageQueue)),
      notificationCenter_(std::move(notificationCenter)) {}

PasswordViewController::~PasswordViewController() = default;

void PasswordViewController::loadView() {
    auto* root = new ui::View();
    root->setBackgroundColor(tovrinGrayBlack2Color());
    textFieldsScrollView_ = new ui::ScrollView();
    textFieldsScrollView_->setAccessibilityIdentifier(QStringLiteral("textFieldsScrollView"));
    root->addSubview(textFieldsScrollView_);
    formView_ = new ui::View();
    textFieldsScrollView_->addSubview(formView_);
    emailLabel_ = new ui::Label();
    emailLabel_->setTextColor(tovrinOffWhiteColor());
    emailLabel_->setFont(tovrinFont(QStringLiteral("DINOT-Medium"), 16));
    emailLabel_->setAccessibilityIdentifier(QStringLiteral("emailLabel"));
    oldPasswordTextField_ =
        makeChangePasswordField(localizedString("Current password"), QStringLiteral("oldPassword"));
    myNewPasswordTextField_ =
        makeChangePasswordField(localizedString("New password"), QStringLiteral("newPassword"));
    confirmPasswordTextField_ =
        makeChangePasswordField(localizedString("Confirm new password"), QStringLiteral("confirmPassword"));
    oldPasswordTextField_->setReturnKeyType(ui::ReturnKeyType::Next);
    myNewPasswordTextField_->setReturnKeyType(ui::ReturnKeyType::Next);
    confirmPasswordTextField_->setReturnKeyType(ui::ReturnKeyType::Done);
    changePasswordButton_ = new ui::Button(ui::Button::Type::Custom);
    changePasswordButton_->setTitle(localizedString("Change Password"));
    changePasswordButton_->titleLabel()->setFont(tovrinFont(QStringLiteral("DINOT-Bold"), 16));
    changePasswordButton_->setBackgroundColor(tovrinGrayBlack3Color());
    changePasswordButton_->setTitleColor(tovrinOffWhiteColor());
    changePasswordButton_->setAccessibilityIdentifier(QStringLiteral("changePasswordButton"));
    for (ui::View* view :
         std::initializer_list<ui::View*>{emailLabel_, oldPasswordTextField_, myNewPasswordTextField_,
                                          confirmPasswordTextField_, changePasswordButton_})
        textFieldsScrollView_->addSubview(view);
    setView(root);
}

void PasswordViewController::viewWillLayoutSubviews() {
    const QRectF area = view()->bounds();
    textFieldsScrollView_->setFrame(area);
    const double width = area.width() - 2 * passwordFormMargin;
    double y = passwordFormMargin;
    emailLabel_->setFrame(QRectF(passwordFormMargin, y, width, 24));
    y += 24 + passwordFieldGap;
    for (TextFieldWithError* field :
         {oldPasswordTextField_.data(), myNewPasswordTextField_.data(), confirmPasswordTextField_.data()}) {
        field->setFrame(QRectF(passwordFormMargin, y, width, passwordFieldHeight));
        y += passwordFieldHeight + passwordFieldGap;
    }
    changePasswordButton_->setFrame(
        QRectF(passwordFormMargin, y + passwordFieldGap, width, passwordFieldHeight));
    textFieldsScrollView_->setContentSize(
        QSizeF(area.width(), y + passwordFieldGap + passwordFieldHeight + passwordFormMargin));
}

void PasswordViewController::viewDidLoad() {
    ViewController::viewDidLoad();
    setTitle(localizedString("Password"));
    const std::weak_ptr<PasswordViewController> weak = weakSelf<PasswordViewController>();
    auto back = std::make_shared<ui::BarButtonItem>(ui::Image::named(QStringLiteral("back")),
                                                    ui::BarButtonItem::Style::Plain, [weak] {
                                                        auto self = weak.lock();
                                                        if (!self) return;
                                                        if (auto navigation = self->navigationController())
                                                            navigation->popViewControllerAnimated(true);
                                                    });
    navigationItem().setLeftBarButtonItem(back);
    if (auto navigation = navigationController()) navigation->navigationBar()->setTintColor(Qt::white);

    const std::optional<LoginCredentials> credentials = authStorage_->loginCredentials();
    emailLabel_->setText(credentials ? credentials->email().value_or(QString()) : QString());

    orderedTextFields_ = {oldPasswordTextField_, myNewPasswordTextField_, confirmPasswordTextField_};
    for (size_t index = 0; index + 1 < orderedTextFields_.size(); ++index) {
        orderedTextFields_[index]->addTarget(ui::Control::EditingDidEndOnExit, [weak](ui::Control& sender) {
            if (auto self = weak.lock()) self->focusNextTextField(sender);
        });
    }
    for (const auto& field : orderedTextFields_) {
        field->addTarget(ui::Control::EditingChanged, [weak](ui::Control&) {
            if (auto self = weak.lock()) self->updateUI();
        });
        field->setAttributedPlaceholder(tvr_attributedPlaceholder(field->placeholder()));
    }
    changePasswordButton_->addTarget(ui::Control::TouchUpInside, [weak](ui::Control&) {
        if (auto self = weak.lock()) self->didTapChangePassword();
    });
    changePasswordButton_->setCornerRadius(4);

    keyboardObservers_.push_back(notificationCenter_->addObserver(
        ui::Keyboard::WillShowNotification, nullptr, [weak](const Notification& n) {
            if (auto self = weak.lock()) self->didReceiveKeyboardWillShowNotification(n);
        }));
    keyboardObservers_.push_back(notificationCenter_->addObserver(
        ui::Keyboard::WillHideNotification, nullptr, [weak](const Notification& n) {
            if (auto self = weak.lock()) self->didReceiveKeyboardWillHideNotification(n);
        }));
}

std::shared_ptr<ui::View> PasswordViewController::inputAccessoryView() const {
    if (!keyboardAccessoryView_) {
        auto views = loadNibNamed(QStringLiteral("KeyboardAccessoryView"), nullptr);
        keyboardAccessoryView_ = ui::sharedWidget(static_cast<KeyboardAccessoryView*>(views.front()));
        keyboardAccessoryView_->setDelegate(
            const_cast<PasswordViewController*>(this)->weakSelf<PasswordViewController>());
    }
    return keyboardAccessoryView_;
}

void PasswordViewController::keyboardAccessoryViewDone(KeyboardAccessoryView&) {
    view()->endEditing(true);
    updateUI();
}

void PasswordViewController::focusNextTextField(ui::Control& sender) {
    for (size_t index = 0; index + 1 < orderedTextFields_.size(); ++index) {
        if (orderedTextFields_[index] == &sender) {
            orderedTextFields_[index + 1]->becomeFirstResponder();
            return;
        }
    }
}

bool PasswordViewController::areAllInputTextfieldsValid() const {
    return !oldPasswordTextField_->text().isEmpty() &&
           myNewPasswordTextField_->text().size() >= minimumPasswordLength &&
           confirmPasswordTextField_->text().size() >= minimumPasswordLength;
}

void PasswordViewController::updateUI() {
    const bool complete = areAllInputTextfieldsValid();
    changePasswordButton_->setBackgroundColor(complete ? tovrinGoldenRodColor() : tovrinGrayBlack3Color());
    changePasswordButton_->setTitleColor(complete ? tovrinGrayBlack1Color() : tovrinOffWhiteColor());
}

void PasswordViewController::didTapChangePassword() {
    view()->endEditing(false);
    const QString tooShort = localizedString("Oops, your password is too short");
    bool valid = true;
    if (oldPasswordTextField_->text().size() < minimumPasswordLength) {
        oldPasswordTextField_->showErrorMessage(tooShort);
        valid = false;
    }
    if (myNewPasswordTextField_->text().size() < minimumPasswordLength) {
        myNewPasswordTextField_->showErrorMessage(tooShort);
        valid = false;
    }
    if (confirmPasswordTextField_->text() != myNewPasswordTextField_->text()) {
        confirmPasswordTextField_->showErrorMessage(localizedString("Oops, your passwords don't match"));
        valid = false;
    }
    if (!valid) return;

    tvr_presentModalActivityView(*this);
    const std::weak_ptr<PasswordViewController> weak = weakSelf<PasswordViewController>();
    updatePasswordService_
        ->updatePasswordFromOldPassword(oldPasswordTextField_->text(), myNewPasswordTextField_->text())
        .then(weak,
              [](PasswordViewController& self, const std::optional<SessionInfo>&) {
                  tvr_dismissModalActivityView(self);
                  if (auto delegate = self.delegate())
                      delegate->passwordViewControllerDidChangePassword(self);
              })
        .catchError(weak, [](PasswordViewController& self, const Error& error) {
            tvr_dismissModalActivityView(self);
            self.didFailWithError(error);
        });
}

void PasswordViewController::didFailWithError(const Error& error) {
    statusMessageQueue_->enqueueStatusMessage(StatusMessage(
        tvr_errorStringForActionString(error, localizedString("change password")), StatusMessageStyleError));
}

void PasswordViewController::didReceiveKeyboardWillShowNotification(const Notification& notification) {
    const QRectF begin = notification.userInfo.value(ui::Keyboard::FrameBeginUserInfoKey).toRectF();
    const ui::EdgeInsets insets{0, 0, begin.height() - 10, 0};
    textFieldsScrollView_->setContentInset(insets);
    textFieldsScrollView_->setScrollIndicatorInsets(insets);
}

void PasswordViewController::didReceiveKeyboardWillHideNotification(const Notification&) {
    textFieldsScrollView_->setContentInset(ui::EdgeInsets{});
    textFieldsScrollView_->setScrollIndicatorInsets(ui::EdgeInsets{});
}

}  // namespace tovrin
