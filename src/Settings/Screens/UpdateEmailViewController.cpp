#include "Settings/Screens/UpdateEmailViewController.h"

#include "API/TovrinServiceError.h"
#include "Authentication/EmailValidation.h"

#include "Authentication/AuthStorage.h"
#include "Categories/Error+TovrinErrorString.h"
#include "Categories/UI/AttributedString+Tovrin.h"
#include "Categories/UI/Color+Tovrin.h"
#include "Categories/UI/Font+Tovrin.h"
#include "Categories/UI/ViewController+ModalActivityView.h"
#include "StatusMessages/StatusMessageQueue.h"
#include "UpdateEmailService.h"
#include "UserInterface/Nibs.h"
#include "platform/foundation/Localization.h"
#include "platform/ui/controllers/BarButtonItem.h"
#include "platform/ui/controllers/NavigationBar.h"
#include "platform/ui/controllers/NavigationController.h"
#include "platform/ui/controllers/NavigationItem.h"
#include "platform/ui/input/Keyboard.h"

namespace tovrin {

namespace {

constexpr double emailFormMargin = 24;
constexpr double emailFieldHeight = 50;
constexpr double emailFieldGap = 12;
constexpr int minimumCurrentPasswordLength = 6;

TextFieldWithError* makeChangeEmailField(const QString& placeholder, const QString& identifier) {
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

UpdateEmailViewController::UpdateEmailViewController(std::shared_ptr<UpdateEmailService> updateEmailService,
                                                     std::shared_ptr<AuthStorage> authStorage,
                                                     std::shared_ptr<StatusMessageQueue> statusMessageQueue,
                                                     std::shared_ptr<NotificationCenter> notificationCenter)
    : updateEmailService_(std::move(updateEmailService)),
      authStorage_(std::move(authStorage)),
      statusMessageQueue_(std::move(statusMessageQueue)),
      notificationCenter_(std::move(notificationCenter)) {}

UpdateEmailViewController::~UpdateEmailViewController() = default;

void UpdateEmailViewController::loadView() {
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
    changeEmailTextField_ = makeChangeEmailField(localizedString("New email"), QStringLiteral("newEmail"));
    changeEmailTextField_->setSecureTextEntry(false);
    changeEmailTextField_->setKeyboardType(ui::KeyboardType::EmailAddress);
    changeEmailTextField_->setReturnKeyType(ui::ReturnKeyType::Next);
    currentPasswordTextField_ =
        makeChangeEmailField(localizedString("Current password"), QStringLiteral("currentPassword"));
    currentPasswordTextField_->setReturnKeyType(ui::ReturnKeyType::Done);
    changeEmailButton_ = new ui::Button(ui::Button::Type::Custom);
    changeEmailButton_->setTitle(localizedString("Change Email"));
    changeEmailButton_->titleLabel()->setFont(tovrinFont(QStringLiteral("DINOT-Bold"), 16));
    changeEmailButton_->setBackgroundColor(tovrinGrayBlack3Color());
    changeEmailButton_->setTitleColor(tovrinOffWhiteColor());
    changeEmailButton_->setAccessibilityIdentifier(QStringLiteral("changeEmailButton"));
    for (ui::View* view : std::initializer_list<ui::View*>{emailLabel_, changeEmailTextField_,
                                                           currentPasswordTextField_, changeEmailButton_})
        textFieldsScrollView_->addSubview(view);
    setView(root);
}

void UpdateEmailViewController::viewWillLayoutSubviews() {
    const QRectF area = view()->bounds();
    textFieldsScrollView_->setFrame(area);
    const double width = area.width() - 2 * emailFormMargin;
    double y = emailFormMargin;
    emailLabel_->setFrame(QRectF(emailFormMargin, y, width, 24));
    y += 24 + emailFieldGap;
    for (TextFieldWithError* field : {changeEmailTextField_.data(), currentPasswordTextField_.data()}) {
        field->setFrame(QRectF(emailFormMargin, y, width, emailFieldHeight));
        y += emailFieldHeight + emailFieldGap;
    }
    changeEmailButton_->setFrame(QRectF(emailFormMargin, y + emailFieldGap, width, emailFieldHeight));
    textFieldsScrollView_->setContentSize(
        QSizeF(area.width(), y + emailFieldGap + emailFieldHeight + emailFormMargin));
}

void UpdateEmailViewController::viewDidLoad() {
    ViewController::viewDidLoad();
    setTitle(localizedString("Email"));
    const std::weak_ptr<UpdateEmailViewController> weak = weakSelf<UpdateEmailViewController>();
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

    orderedTextFields_ = {changeEmailTextField_, currentPasswordTextField_};
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
    changeEmailButton_->addTarget(ui::Control::TouchUpInside, [weak](ui::Control&) {
        if (auto self = weak.lock()) self->didTapChangeEmail();
    });
    changeEmailButton_->setCornerRadius(4);

    keyboardObservers_.push_back(notificationCenter_->addObserver(
        ui::Keyboard::WillShowNotification, nullptr, [weak](const Notification& n) {
            if (auto self = weak.lock()) self->didReceiveKeyboardWillShowNotification(n);
        }));
    keyboardObservers_.push_back(notificationCenter_->addObserver(
        ui::Keyboard::WillHideNotification, nullptr, [weak](const Notification& n) {
            if (auto self = weak.lock()) self->didReceiveKeyboardWillHideNotification(n);
        }));
}

std::shared_ptr<ui::View> UpdateEmailViewController::inputAccessoryView() const {
    if (!keyboardAccessoryView_) {
        auto views = loadNibNamed(QStringLiteral("KeyboardAccessoryView"), nullptr);
        keyboardAccessoryView_ = ui::sharedWidget(static_cast<KeyboardAccessoryView*>(views.front()));
        keyboardAccessoryView_->setDelegate(
            const_cast<UpdateEmailViewController*>(this)->weakSelf<UpdateEmailViewController>());
    }
    return keyboardAccessoryView_;
}

void UpdateEmailViewController::keyboardAccessoryViewDone(KeyboardAccessoryView&) {
    view()->endEditing(true);
    updateUI();
}

void UpdateEmailViewController::focusNextTextField(ui::Control& sender) {
    for (size_t index = 0; index + 1 < orderedTextFields_.size(); ++index) {
        if (orderedTextFields_[index] == &sender) {
            orderedTextFields_[index + 1]->becomeFirstResponder();
            return;
        }
    }
}

void UpdateEmailViewController::updateUI() {
    const bool ready = !changeEmailTextField_->text().isEmpty() &&
                       currentPasswordTextField_->text().size() >= minimumCurrentPasswordLength;
    changeEmailButton_->setBackgroundColor(ready ? tovrinGoldenRodColor() : tovrinGrayBlack3Color());
    changeEmailButton_->setTitleColor(ready ? tovrinGrayBlack1Color() : tovrinOffWhiteColor());
}

bool UpdateEmailViewController::isValidEmailEntered() {
    const QString error = emailValidationError(changeEmailTextField_->text());
    if (error.isEmpty()) return true;
    changeEmailTextField_->showErrorMessage(error);
    return false;
}

bool UpdateEmailViewController::isPasswordEntered() {
    if (!currentPasswordTextField_->text().isEmpty()) return true;
    currentPasswordTextField_->showErrorMessage(localizedString("Password is missing"));
    return false;
}

void UpdateEmailViewController::didTapChangeEmail() {
    view()->endEditing(false);
    const bool emailValid = isValidEmailEntered();
    const bool passwordEntered = isPasswordEntered();
    if (!emailValid || !passwordEntered) return;

    tvr_presentModalActivityView(*this);
    const std::weak_ptr<UpdateEmailViewController> weak = weakSelf<UpdateEmailViewController>();
    updateEmailService_->updateEmail(changeEmailTextField_->text(), currentPasswordTextField_->text())
        .then(weak,
              [](UpdateEmailViewController& self, const std::optional<SessionInfo>&) {
                  tvr_dismissModalActivityView(self);
                  if (auto delegate = self.delegate())
                      delegate->updateEmailViewControllerDidChangeEmail(self);
              })
        .catchError(weak, [](UpdateEmailViewController& self, const Error& error) {
            tvr_dismissModalActivityView(self);
            self.didFailWithError(error);
        });
}

void UpdateEmailViewController::didFailWithError(const Error& error) {
    QString failureText = tvr_errorStringForActionString(error, localizedString("change email"));
    if (isTovrinServiceError(error, TovrinServiceErrorEmailAlreadyInUse))
        failureText = localizedString("Email already exists");
    else if (isTovrinServiceError(error, TovrinServiceErrorPasswordIncorrect))
        failureText = localizedString("Password is incorrect");
    statusMessageQueue_->enqueueStatusMessage(StatusMessage(failureText, StatusMessageStyleError));
}

void UpdateEmailViewController::didReceiveKeyboardWillShowNotification(const Notification& notification) {
    const QRectF begin = notification.userInfo.value(ui::Keyboard::FrameBeginUserInfoKey).toRectF();
    const ui::EdgeInsets insets{0, 0, begin.height() - 50, 0};
    textFieldsScrollView_->setContentInset(insets);
    textFieldsScrollView_->setScrollIndicatorInsets(insets);
}

void UpdateEmailViewController::didReceiveKeyboardWillHideNotification(const Notification&) {
    textFieldsScrollView_->setContentInset(ui::EdgeInsets{});
    textFieldsScrollView_->setScrollIndicatorInsets(ui::EdgeInsets{});
}

}  // namespace tovrin
