#include "Authentication/Screens/LoginViewController.h"

#include <QLocale>
#include <QPainter>
#include <QUrlQuery>

#include "API/BootstrapManager.h"
#include "API/TovrinServiceError.h"
#include "Authentication/SessionService.h"
#include "Cascade/NearbyUserManager.h"
#include "Cascade/UserLocator.h"
#include "Categories/Error+TovrinErrorString.h"
#include "Categories/UI/AttributedString+Tovrin.h"
#include "Categories/UI/Color+Tovrin.h"
#include "Categories/UI/Font+Tovrin.h"
#include "Profile/FullProfile.h"
#include "Profile/ProfileService.h"
#include "StatusMessages/StatusMessageQueue.h"
#include "UserInterface/Nibs.h"
#include "UserInterface/TextFieldWithError.h"
#include "platform/di/Injector.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/controllers/BarButtonItem.h"
#include "platform/ui/controllers/NavigationController.h"
#include "platform/ui/controllers/NavigationItem.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/ImageView.h"
#include "platform/ui/input/Keyboard.h"
#include "platform/ui/text/Label.h"

namespace tovrin {

namespace {

constexpr double formWidthMargin = 24;
constexpr double fieldHeight = 50;
constexpr double fieldGap = 12;
constexpr double buttonHeight = 50;
constexpr double logoSize = 96;

const Coordinate debugCoordinate{34.098212, -118.337105};

// The mark above the form: the service's name in the brand colour.
ui::Image logoImage() {
    const double scale = 2;
    QImage image(QSize(int(logoSize * 2 * scale), int(logoSize * scale)),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(tovrinGoldenRodColor());
    QFont font = tovrinFont(QStringLiteral("DINOT-Bold"), 40 * scale);
    painter.setFont(font);
    painter.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("tovrin"));
    painter.end();
    image.setDevicePixelRatio(scale);
    return ui::Image(image);
}

double animationDuration(const Notification& notification) {
    return notification.userInfo.value(ui::Keyboard::AnimationDurationUserInfoKey).toDouble();
}

TextFieldWithError* makeField(const QString& placeholder, bool secure) {
    auto* field = new TextFieldWithError(placeholder, QRectF());
    field->setSecureTextEntry(secure);
    field->setKeyboardType(secure ? ui::KeyboardType::Default : ui::KeyboardType::EmailAddress);
    field->setReturnKeyType(secure ? ui::ReturnKeyType::Go : ui::ReturnKeyType::Next);
    field->setBackgroundColor(tovrinGrayBlack1Color());
    field->setTextColor(tovrinOffWhiteColor());
    field->setFont(tovrinFont(QStringLiteral("DIN OT"), 16));
    field->setCornerRadius(4);
    return field;
}

ui::Button* makeLinkButton(const QString& title, const QString& identifier) {
    auto* button = new ui::Button(ui::Button::Type::Custom);
    button->setTitle(title);
    button->setTitleColor(tovrinOffWhiteColor());
    button->titleLabel()->setFont(tovrinFont(QStringLiteral("DINOT-Medium"), 14));
    button->setAccessibilityIdentifier(identifier);
    return button;
}

}  // namespace

LoginViewController::LoginViewController(std::shared_ptr<SessionService> loginService,
                                         std::shared_ptr<NotificationCenter> notificationCenter,
                                         std::shared_ptr<StatusMessageQueue> statusMessageQueue,
                                         std::shared_ptr<BootstrapManager> bootstrapManager)
    : loginService_(std::move(loginService)),
      notificationCenter_(std::move(notificationCenter)),
      statusMessageQueue_(std::move(statusMessageQueue)),
      bootstrapManager_(std::move(bootstrapManager)) {}

LoginViewController::~LoginViewController() = default;

void LoginViewController::loadView() {
    auto* root = new ui::View();
    root->setBackgroundColor(tovrinGrayBlack2Color());
    root->setAccessibilityIdentifier(QStringLiteral("LoginView"));

    logoImageView_ = new ui::ImageView(logoImage());
    logoImageView_->setAccessibilityIdentifier(QStringLiteral("logoImageView"));
    root->addSubview(logoImageView_);

    formView_ = new ui::View();
    formView_->setAccessibilityIdentifier(QStringLiteral("formView"));
    root->addSubview(formView_);
    emailTextField_ = makeField(localizedString("Email"), false);
    passwordTextField_ = makeField(localizedString("Password"), true);
    loginButton_ = new ui::Button(ui::Button::Type::Custom);
    loginButton_->setTitle(localizedString("Log In"));
    loginButton_->titleLabel()->setFont(tovrinFont(QStringLiteral("DINOT-Bold"), 16));
    loginButton_->setAccessibilityIdentifier(QStringLiteral("loginButton"));
    forgotPasswordButton_ =
        makeLinkButton(localizedString("Forgot password?"), QStringLiteral("forgotPasswordButton"));
    joinButton_ = makeLinkButton(localizedString("New here? Join"), QStringLiteral("joinButton"));
    for (ui::View* view : std::initializer_list<ui::View*>{emailTextField_, passwordTextField_, loginButton_,
                                                           forgotPasswordButton_, joinButton_})
        formView_->addSubview(view);

    // The form rests below the logo while no keyboard shows, and centres itself above it otherwise.
    topFormConstraint_ =
        std::make_shared<ui::LayoutConstraint>(logoSize + 80, 999, QStringLiteral("topFormConstraint"));
    formBottomConstraint_ =
        std::make_shared<ui::LayoutConstraint>(24, 999, QStringLiteral("formBottomConstraint"));
    formVerticalCenterConstraint_ =
        std::make_shared<ui::LayoutConstraint>(0, 1, QStringLiteral("formVerticalCenterConstraint"));
    root->addConstraint(topFormConstraint_);
    root->addConstraint(formBottomConstraint_);
    root->addConstraint(formVerticalCenterConstraint_);
    setView(root);
}

void LoginViewController::viewWillLayoutSubviews() {
    const QRectF area = view()->bounds();
    const double width = area.width() - 2 * formWidthMargin;
    double y = 0;
    for (ui::View* field : std::initializer_list<ui::View*>{emailTextField_, passwordTextField_}) {
        field->setFrame(QRectF(0, y, width, fieldHeight));
        // The clear button shows once editing begins; place it for the field's current state.
        field->setNeedsLayout();
        y += fieldHeight + fieldGap;
    }
    loginButton_->setFrame(QRectF(0, y, width, buttonHeight));
    y += buttonHeight + fieldGap;
    forgotPasswordButton_->setFrame(QRectF(0, y, width, 32));
    y += 32;
    joinButton_->setFrame(QRectF(0, y, width, 32));
    y += 32;
    const double formHeight = y;

    double formTop;
    if (ui::LayoutConstraint::winner(formVerticalCenterConstraint_.get(), topFormConstraint_.get()) ==
        formVerticalCenterConstraint_.get()) {
        formTop = (area.height() - formHeight) / 2 + formVerticalCenterConstraint_->constant();
    } else {
        // Below the logo, yet never past the bottom margin on a short screen.
        formTop = std::min(topFormConstraint_->constant() + 40,
                           area.height() - formBottomConstraint_->constant() - formHeight);
    }
    formView_->setFrame(QRectF(formWidthMargin, formTop, width, formHeight));
    logoImageView_->setFrame(QRectF((area.width() - 2 * logoSize) / 2, 60, 2 * logoSize, logoSize));
}

void LoginViewController::viewDidLoad() {
    ViewController::viewDidLoad();
    const std::weak_ptr<LoginViewController> weak = weakSelf<LoginViewController>();
    keyboardObservers_.push_back(notificationCenter_->addObserver(ui::Keyboard::WillShowNotification, nullptr,
                                                                  [weak](const Notification& n) {
                                                                      if (auto self = weak.lock())
                                                                          self->keyboardWillAppear(n);
                                                                  }));
    keyboardObservers_.push_back(notificationCenter_->addObserver(ui::Keyboard::WillHideNotification, nullptr,
                                                                  [weak](const Notification& n) {
                                                                      if (auto self = weak.lock())
                                                                          self->keyboardWillDisappear(n);
                                                                  }));

    auto on = [weak](void (LoginViewController::*action)()) {
        return [weak, action](ui::Control&) {
            if (auto self = weak.lock()) ((*self).*action)();
        };
    };
    emailTextField_->addTarget(ui::Control::EditingDidEndOnExit,
                               on(&LoginViewController::didTapNextOnEmailTextField));
    passwordTextField_->addTarget(ui::Control::EditingDidEndOnExit,
                                  on(&LoginViewController::didShowIntentToLogin));
    loginButton_->addTarget(ui::Control::TouchUpInside, on(&LoginViewController::didShowIntentToLogin));
    joinButton_->addTarget(ui::Control::TouchUpInside, on(&LoginViewController::didTapJoin));
    forgotPasswordButton_->addTarget(ui::Control::TouchUpInside,
                                     on(&LoginViewController::didTapForgotPassword));
    emailTextField_->addTarget(ui::Control::EditingChanged, on(&LoginViewController::textFieldDidChange));
    passwordTextField_->addTarget(ui::Control::EditingChanged, on(&LoginViewController::textFieldDidChange));

    loginButton_->setCornerRadius(4);
    changeBackgroundColorForLoginButton();
    for (TextFieldWithError* field : {emailTextField_.data(), passwordTextField_.data()})
        field->setAttributedPlaceholder(tvr_attributedPlaceholder(field->placeholder()));
}

std::shared_ptr<ui::View> LoginViewController::inputAccessoryView() const {
    if (!keyboardAccessoryView_) {
        auto views = loadNibNamed(QStringLiteral("KeyboardAccessoryView"), nullptr);
        keyboardAccessoryView_ = ui::sharedWidget(static_cast<KeyboardAccessoryView*>(views.front()));
        keyboardAccessoryView_->setDelegate(
            const_cast<LoginViewController*>(this)->weakSelf<LoginViewController>());
    }
    return keyboardAccessoryView_;
}

void LoginViewController::keyboardAccessoryViewDone(KeyboardAccessoryView&) {
    view()->endEditing(true);
    changeBackgroundColorForLoginButton();
}

void LoginViewController::webViewControllerDidFinishLoading(WebViewController& controller) {
    controller.setTitle(QString());
}

void LoginViewController::touchesBegan(const ui::Touches& touches) {
    ViewController::touchesBegan(touches);
    view()->endEditing(false);
}

void LoginViewController::didTapNextOnEmailTextField() {
    passwordTextField_->becomeFirstResponder();
}

void LoginViewController::textFieldDidChange() {
    changeBackgroundColorForLoginButton();
}

void LoginViewController::changeBackgroundColorForLoginButton() {
    const bool ready = !emailTextField_->text().isEmpty() && passwordTextField_->text().size() > 5;
    loginButton_->setBackgroundColor(ready ? tovrinGoldenRodColor() : tovrinGrayBlack3Color());
    loginButton_->setTitleColor(ready ? tovrinGrayBlack1Color() : tovrinOffWhiteColor());
}

void LoginViewController::keyboardWillAppear(const Notification& notification) {
    const double duration = animationDuration(notification);
    view()->layoutIfNeeded();
    topFormConstraint_->setPriority(1);
    formBottomConstraint_->setPriority(1);
    formVerticalCenterConstraint_->setPriority(999);
    formVerticalCenterConstraint_->setConstant(-50);
    view()->setNeedsLayout();
    ui::ViewAnimation::animate(duration, [this] {
        logoImageView_->setAlpha(0);
        view()->layoutIfNeeded();
    });
}

void LoginViewController::keyboardWillDisappear(const Notification& notification) {
    const double duration = animationDuration(notification);
    view()->layoutIfNeeded();
    topFormConstraint_->setPriority(999);
    formBottomConstraint_->setPriority(999);
    formVerticalCenterConstraint_->setPriority(1);
    view()->setNeedsLayout();
    ui::ViewAnimation::animate(duration, [this] {
        logoImageView_->setAlpha(1);
        view()->layoutIfNeeded();
    });
}

void LoginViewController::didTapJoin() {
    emailTextField_->resignFirstResponder();
    passwordTextField_->resignFirstResponder();
}

void LoginViewController::didTapForgotPassword() {
    const QStringList languages = QLocale().uiLanguages();
    QString language = languages.isEmpty() ? QStringLiteral("en") : languages.first();
    if (language == QStringLiteral("en")) language = QStringLiteral("en-US");
    const std::weak_ptr<LoginViewController> weak = weakSelf<LoginViewController>();
    bootstrapManager_->retrieveUnauthenticatedWebURL().then(
        weak, [language](LoginViewController& self, QUrl url) {
            url.setPath(QStringLiteral("/v3/user/password/reset/request/"));
            QUrlQuery query;
            query.addQueryItem(QStringLiteral("locale"), language);
            url.setQuery(query);
            auto page = self.injector_->get<WebViewController>();
            page->setDelegate(self.weakSelf<LoginViewController>());
            const std::weak_ptr<WebViewController> weakPage = page;
            auto back = std::make_shared<ui::BarButtonItem>(ui::Image::named(QStringLiteral("back")),
                                                            ui::BarButtonItem::Style::Plain, [weakPage] {
                                                                if (auto target = weakPage.lock())
                                                                    target->backButtonTapped(nullptr);
                                                            });
            back->setTintColor(Qt::white);
            page->navigationItem().setLeftBarButtonItem(back);
            page->loadRequest(net::URLRequest(url));
            page->setTitle(QString());
            page->setToolbarTintColor(tovrinGrayBlack1Color());
            page->hideControls();
            if (auto navigation = self.navigationController()) navigation->pushViewController(page, true);
        });
}

bool LoginViewController::isEmailEntered() {
    if (!emailTextField_->text().isEmpty()) return true;
    emailTextField_->showErrorMessage(localizedString("Email address is missing"));
    return false;
}

bool LoginViewController::isPasswordEntered() {
    if (!passwordTextField_->text().isEmpty()) return true;
    passwordTextField_->showErrorMessage(localizedString("Password is missing"));
    return false;
}

void LoginViewController::didShowIntentToLogin() {
    QString email = emailTextField_->text();
    bool debug = false;
    if (email.startsWith(LoginDebugPrefix)) {
        debug = true;
        email = email.mid(LoginDebugPrefix.size());
        Location location;
        location.coordinate = debugCoordinate;
        injector_->get<UserLocator>()->setDebugUserLocation(location);
    }
    const bool emailEntered = isEmailEntered();
    const bool passwordEntered = isPasswordEntered();
    if (!emailEntered || !passwordEntered) return;

    if (existingAttemptCancelled_) *existingAttemptCancelled_ = true;
    auto cancelled = std::make_shared<bool>(false);
    existingAttemptCancelled_ = cancelled;

    const std::weak_ptr<LoginViewController> weak = weakSelf<LoginViewController>();
    loginService_->loginWithEmail(email, passwordTextField_->text())
        .then(weak,
              [cancelled, debug](LoginViewController& self, const SessionInfo& info) -> Promise<void> {
                  if (*cancelled) return Promise<void>::resolved();
                  return self.finishLogin(info, debug);
              })
        .catchError(weak, [cancelled](LoginViewController& self, const Error& error) {
            if (!*cancelled) self.didFailWithError(error);
        });
}

// The sign-in succeeded: nothing after this point reports a failure.
Promise<void> LoginViewController::finishLogin(const SessionInfo& info, bool debug) {
    injector_->get<UserDefaults>()->setBool(debug, DebugUIUserDefaultsKey);
    auto profileService = injector_->get<ProfileService>();
    Injector* injector = injector_;
    return profileService->fullProfileForID(info.profileID())
        .then([injector](const std::shared_ptr<FullProfile>& profile) {
            if (!profile) return;
            injector->get<NearbyUserManager>()->saveNearbyUser(profile->nearbyUser(), true);
        })
        .catchError([](const Error&) { return Promise<void>::resolved(); });
}

void LoginViewController::didFailWithError(const Error& error) {
    if (isTovrinServiceError(error, TovrinServiceErrorUserBanned)) return;
    statusMessageQueue_->enqueueStatusMessage(
        StatusMessage(errorMessageFromError(error), StatusMessageStyleError));
}

QString LoginViewController::errorMessageFromError(const Error& error) const {
    if (isTovrinServiceError(error, TovrinServiceErrorInvalidCredentials))
        return localizedString("Email/Password is incorrect");
    return tvr_errorStringForActionString(error, localizedString("login"));
}

}  // namespace tovrin
