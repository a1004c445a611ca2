#include "Authentication/Screens/CreateAccountViewController.h"

#include "API/TovrinServiceError.h"
#include "Authentication/CreateAccountService.h"
#include "Authentication/EmailValidation.h"
#include "Categories/Error+TovrinErrorString.h"
#include "Categories/UI/AttributedString+Tovrin.h"
#include "Categories/UI/Color+Tovrin.h"
#include "Categories/UI/Font+Tovrin.h"
#include "Categories/UI/View+NibView.h"
#include "Helpers/DeviceCurrentDateProvider.h"
#include "StatusMessages/StatusMessageQueue.h"
#include "UserInterface/Nibs.h"
#include "platform/foundation/Localization.h"
#include "platform/ui/controllers/BarButtonItem.h"
#include "platform/ui/controllers/NavigationBar.h"
#include "platform/ui/controllers/NavigationController.h"
#include "platform/ui/controllers/NavigationItem.h"
#include "platform/ui/input/Keyboard.h"
#include "platform/ui/text/Label.h"

namespace tovrin {

namespace {

constexpr double signUpMargin = 24;
constexpr double signUpFieldHeight = 50;
constexpr double signUpGap = 12;
constexpr double signUpCheckHeight = 44;
constexpr int signUpMinimumPasswordLength = 6;
constexpr int minimumAge = 18;

TextFieldWithError* makeSignUpField(const QString& placeholder, bool secure) {
    auto* field = new TextFieldWithError(placeholder, QRectF());
    field->setSecureTextEntry(secure);
    field->setBackgroundColor(tovrinGrayBlack1Color());
    field->setTextColor(tovrinOffWhiteColor());
    field->setFont(tovrinFont(QStringLiteral("DIN OT"), 16));
    field->setCornerRadius(4);
    field->setReturnKeyType(ui::ReturnKeyType::Next);
    return field;
}

// Whole years from the birthday to today, by the calendar of the device's time zone.
int wholeYears(Date from, Date to) {
    const QDate birth = from.toQDateTime().toLocalTime().date();
    const QDate today = to.toQDateTime().toLocalTime().date();
    int years = today.year() - birth.year();
    if (today.month() < birth.month() || (today.month() == birth.month() && today.day() < birth.day()))
        --years;
    return years;
}

}  // namespace

CreateAccountViewController::CreateAccountViewController(
    std::shared_ptr<StatusMessageQueue> statusMessageQueue,
    std::shared_ptr<CreateAccountService> createAccountService,
    std::shared_ptr<DeviceCurrentDateProvider> currentDateProvider,
    std::shared_ptr<NotificationCenter> notificationCenter)
    : statusMessageQueue_(std::move(statusMessageQueue)),
      createAccountService_(std::move(createAccountService)),
      currentDateProvider_(std::move(currentDateProvider)),
      notificationCenter_(std::move(notificationCenter)) {}

CreateAccountViewController::~CreateAccountViewController() = default;

void CreateAccountViewController::loadView() {
    auto* root = new ui::View();
    root->setBackgroundColor(tovrinGrayBlack2Color());
    textFieldsScrollView_ = new ui::ScrollView();
    textFieldsScrollView_->setAccessibilityIdentifier(QStringLiteral("textFieldsScrollView"));
    root->addSubview(textFieldsScrollView_);
    emailTextField_ = makeSignUpField(localizedString("Email"), false);
    emailTextField_->setKeyboardType(ui::KeyboardType::EmailAddress);
    passwordTextField_ = makeSignUpField(localizedString("Password"), true);
    confirmPasswordTextField_ = makeSignUpField(localizedString("Confirm password"), true);
    dateOfBirthTextField_ = makeSignUpField(localizedString("Date of Birth"), false);
    offersCheckmarkButtonContainer_ = new ui::View();
    termsOfServiceCheckmarkButtonContainer_ = new ui::View();
    createAccountButton_ = new ui::Button(ui::Button::Type::Custom);
    createAccountButton_->setTitle(localizedString("Create Account"));
    createAccountButton_->titleLabel()->setFont(tovrinFont(QStringLiteral("DINOT-Bold"), 16));
    createAccountButton_->setBackgroundColor(tovrinGrayBlack3Color());
    createAccountButton_->setTitleColor(tovrinOffWhiteColor());
    createAccountButton_->setAccessibilityIdentifier(QStringLiteral("createAccountButton"));
    for (ui::View* view : std::initializer_list<ui::View*>{
             emailTextField_, passwordTextField_, confirmPasswordTextField_, dateOfBirthTextField_,
             offersCheckmarkButtonContainer_, termsOfServiceCheckmarkButtonContainer_, createAccountButton_})
        textFieldsScrollView_->addSubview(view);
    setView(root);
}

void CreateAccountViewController::viewWillLayoutSubviews() {
    const QRectF area = view()->bounds();
    textFieldsScrollView_->setFrame(area);
    const double width = area.width() - 2 * signUpMargin;
    double y = signUpMargin;
    for (TextFieldWithError* field : {emailTextField_.data(), passwordTextField_.data(),
                                      confirmPasswordTextField_.data(), dateOfBirthTextField_.data()}) {
        field->setFrame(QRectF(signUpMargin, y, width, signUpFieldHeight));
        y += signUpFieldHeight + signUpGap;
    }
    for (ui::View* container :
         {offersCheckmarkButtonContainer_.data(), termsOfServiceCheckmarkButtonContainer_.data()}) {
        container->setFrame(QRectF(signUpMargin, y, width, signUpCheckHeight));
        y += signUpCheckHeight + signUpGap;
    }
    createAccountButton_->setFrame(QRectF(signUpMargin, y, width, signUpFieldHeight));
    textFieldsScrollView_->setContentSize(QSizeF(area.width(), y + signUpFieldHeight + signUpMargin));
}

void CreateAccountViewController::viewDidLoad() {
    ViewController::viewDidLoad();
    const std::weak_ptr<CreateAccountViewController> weak = weakSelf<CreateAccountViewController>();
    keyboardObservers_.push_back(notificationCenter_->addObserver(
        ui::Keyboard::WillShowNotification, nullptr, [weak](const Notification& notification) {
            auto self = weak.lock();
            if (!self) return;
            const QRectF begin = notification.userInfo.value(ui::Keyboard::FrameBeginUserInfoKey).toRectF();
            const ui::EdgeInsets insets{0, 0, begin.height() + 10, 0};
            self->textFieldsScrollView_->setContentInset(insets);
            self->textFieldsScrollView_->setScrollIndicatorInsets(insets);
        }));
    keyboardObservers_.push_back(notificationCenter_->addObserver(
        ui::Keyboard::WillHideNotification, nullptr, [weak](const Notification&) {
            auto self = weak.lock();
            if (!self) return;
            self->textFieldsScrollView_->setContentInset(ui::EdgeInsets{});
            self->textFieldsScrollView_->setScrollIndicatorInsets(ui::EdgeInsets{});
        }));

    orderedTextfields_ = {emailTextField_, passwordTextField_, confirmPasswordTextField_,
                          dateOfBirthTextField_};
    for (size_t index = 0; index + 1 < orderedTextfields_.size(); ++index) {
        orderedTextfields_[index]->addTarget(ui::Control::EditingDidEndOnExit, [weak](ui::Control& sender) {
            if (auto self = weak.lock()) self->focusNextTextField(sender);
        });
    }
    for (const auto& field : orderedTextfields_) {
        field->addTarget(ui::Control::EditingChanged, [weak](ui::Control&) {
            if (auto self = weak.lock()) self->changeBackgroundColorForLoginButton();
        });
        field->setAttributedPlaceholder(tvr_attributedPlaceholder(field->placeholder()));
    }

    datePicker_ = ui::sharedWidget(new ui::DatePicker());
    datePicker_->setAccessibilityIdentifier(localizedString("Date of Birth Picker"));
    datePicker_->setMode(ui::DatePicker::Mode::Date);
    dateOfBirthTextField_->setInputView(datePicker_);
    datePicker_->addTarget(ui::Control::ValueChanged, [weak](ui::Control&) {
        if (auto self = weak.lock()) self->datePickerDidPickDate();
    });
    dateOfBirth_ = currentDateProvider_->currentDate();

    createAccountButton_->addTarget(ui::Control::TouchUpInside, [weak](ui::Control&) {
        if (auto self = weak.lock()) self->createAccountButtonTapped();
    });
    createAccountButton_->setCornerRadius(4);

    offersCheckmarkButton_ = static_cast<CheckmarkButton*>(
        constrainViewToBoundsWithNibName(offersCheckmarkButtonContainer_, QStringLiteral("CheckmarkButton")));
    offersCheckmarkButton_->setSelected(true);
    offersCheckmarkButton_->setTitle(
        localizedString("Send me occasional emails regarding my account, subscription and special offers"));
    offersCheckmarkButton_->setTitleColor(tovrinGray1Color());
    offersCheckmarkButton_->setAccessibilityLabel(localizedString("AcceptEmailOffersLabel"));
    offersCheckmarkButton_->setAccessibilityIdentifier(
        QStringLiteral("AcceptEmailOffersSwitchAccessibilityLabel"));

    termsOfServiceCheckmarkButton_ = static_cast<CheckmarkButton*>(constrainViewToBoundsWithNibName(
        termsOfServiceCheckmarkButtonContainer_, QStringLiteral("CheckmarkButton")));
    termsOfServiceCheckmarkButton_->setSelected(false);
    termsOfServiceCheckmarkButton_->addTarget(ui::Control::TouchUpInside, [weak](ui::Control&) {
        if (auto self = weak.lock()) self->changeBackgroundColorForLoginButton();
    });
    termsOfServiceCheckmarkButton_->setTitle(localizedString("I accept the Terms of Service"));
    termsOfServiceCheckmarkButton_->setTitleColor(tovrinGray1Color());
    termsOfServiceCheckmarkButton_->setAccessibilityLabel(localizedString("AcceptTermsOfServiceLabel"));
    termsOfServiceCheckmarkButton_->setAccessibilityIdentifier(
        QStringLiteral("AcceptTermsOfServiceCheckmark"));

    setTitle(localizedString("Create Account"));
    auto back = std::make_shared<ui::BarButtonItem>(ui::Image::named(QStringLiteral("back")),
                                                    ui::BarButtonItem::Style::Plain, [weak] {
                                                        auto self = weak.lock();
                                                        if (!self) return;
                                                        if (auto navigation = self->navigationController())
                                                            navigation->popViewControllerAnimated(true);
                                                    });
    navigationItem().setLeftBarButtonItem(back);
    if (auto navigation = navigationController())
        navigation->navigationBar()->setTintColor(tovrinOffWhiteColor());
}

std::shared_ptr<ui::View> CreateAccountViewController::inputAccessoryView() const {
    if (!keyboardAccessoryView_) {
        auto views = loadNibNamed(QStringLiteral("KeyboardAccessoryView"), nullptr);
        keyboardAccessoryView_ = ui::sharedWidget(static_cast<KeyboardAccessoryView*>(views.front()));
        keyboardAccessoryView_->setDelegate(
            const_cast<CreateAccountViewController*>(this)->weakSelf<CreateAccountViewController>());
    }
    return keyboardAccessoryView_;
}

void CreateAccountViewController::keyboardAccessoryViewDone(KeyboardAccessoryView&) {
    view()->endEditing(true);
    changeBackgroundColorForLoginButton();
}

void CreateAccountViewController::focusNextTextField(ui::Control& sender) {
    for (size_t index = 0; index + 1 < orderedTextfields_.size(); ++index) {
        if (orderedTextfields_[index] == &sender) {
            orderedTextfields_[index + 1]->becomeFirstResponder();
            return;
        }
    }
}

void CreateAccountViewController::datePickerDidPickDate() {
    dateOfBirth_ = datePicker_->date();
    dateOfBirthTextField_->setText(
        QLocale().toString(dateOfBirth_.toQDateTime().toLocalTime().date(), QStringLiteral("M/d/yyyy")));
}

bool CreateAccountViewController::areAllInputTextfieldsValid() const {
    return !emailTextField_->text().isEmpty() && !dateOfBirthTextField_->text().isEmpty() &&
           passwordTextField_->text().size() >= signUpMinimumPasswordLength &&
           confirmPasswordTextField_->text().size() >= signUpMinimumPasswordLength &&
           termsOfServiceCheckmarkButton_->isSelected();
}

void CreateAccountViewController::changeBackgroundColorForLoginButton() {
    const bool ready = areAllInputTextfieldsValid();
    createAccountButton_->setBackgroundColor(ready ? tovrinGoldenRodColor() : tovrinGrayBlack3Color());
    createAccountButton_->setTitleColor(ready ? tovrinGrayBlack1Color() : tovrinOffWhiteColor());
}

bool CreateAccountViewController::validateBirthday() {
    if (wholeYears(dateOfBirth_, currentDateProvider_->currentDate()) >= minimumAge) return true;
    dateOfBirthTextField_->showErrorMessage(localizedString("You must be at least 18 to join Tovrin"));
    return false;
}

bool CreateAccountViewController::validateAllFields() {
    bool valid = true;
    const QString emailError = emailValidationError(emailTextField_->text());
    if (!emailError.isEmpty()) {
        emailTextField_->showErrorMessage(emailError);
        valid = false;
    }
    if (!validateBirthday()) valid = false;
    if (passwordTextField_->text().size() < signUpMinimumPasswordLength) {
        passwordTextField_->showErrorMessage(localizedString("Oops, your password is too short"));
        valid = false;
    }
    if (confirmPasswordTextField_->text() != passwordTextField_->text()) {
        confirmPasswordTextField_->showErrorMessage(localizedString("Oops, your passwords don't match"));
        valid = false;
    }
    const bool termsAccepted = termsOfServiceCheckmarkButton_->isSelected();
    termsOfServiceCheckmarkButton_->setShowError(!termsAccepted);
    return valid && termsAccepted;
}

void CreateAccountViewController::createAccountButtonTapped() {
    view()->endEditing(false);
    if (!validateAllFields()) return;
    // The first tap's account would make a second request fail as a duplicate.
    if (creating_) return;
    creating_ = true;
    const std::weak_ptr<CreateAccountViewController> weak = weakSelf<CreateAccountViewController>();
    createAccountService_
        ->createAccountWithEmail(emailTextField_->text(), passwordTextField_->text(),
                                 offersCheckmarkButton_->isSelected(), dateOfBirth_)
        .then(weak, [](CreateAccountViewController& self) { self.creating_ = false; })
        .catchError(weak, [](CreateAccountViewController& self, const Error& error) {
            self.creating_ = false;
            self.handleCreateAcccountError(error);
        });
}

void CreateAccountViewController::handleCreateAcccountError(const Error& error) {
    if (isTovrinServiceError(error, TovrinServiceErrorEmailAlreadyInUse)) {
        emailTextField_->showErrorMessage(localizedString("This email address is already in use"));
        return;
    }
    statusMessageQueue_->enqueueStatusMessage(StatusMessage(
        tvr_errorStringForActionString(error, localizedString("create account")), StatusMessageStyleError));
}

}  // namespace tovrin
