#include "Authentication/Screens/UnsecureConnectionViewController.h"

#include "API/BootstrapService.h"
#include "API/CertificateMismatchListener.h"
#include "API/TovrinServiceError.h"
#include "Categories/UI/Color+Tovrin.h"
#include "Categories/UI/Font+Tovrin.h"
#include "platform/foundation/Localization.h"

namespace tovrin {

namespace {

constexpr double unsecureMargin = 32;

}  // namespace

UnsecureConnectionViewController::UnsecureConnectionViewController(
    std::shared_ptr<BootstrapService> bootstrapService,
    std::shared_ptr<CertificateMismatchListener> certificateMismatchListener)
    : bootstrapService_(std::move(bootstrapService)),
      certificateMismatchListener_(std::move(certificateMismatchListener)) {}

UnsecureConnectionViewController::~UnsecureConnectionViewController() = default;

void UnsecureConnectionViewController::loadView() {
    auto* root = new ui::View();
    root->setBackgroundColor(tovrinGrayBlack2Color());
    headerLabel_ = new ui::Label();
    headerLabel_->setText(localizedString("Unsecure connection"));
    headerLabel_->setFont(tovrinFont(QStringLiteral("DINOT-Bold"), 24));
    headerLabel_->setTextColor(tovrinOffWhiteColor());
    headerLabel_->setTextAlignment(Qt::AlignCenter);
    detailLabel_ = new ui::Label();
    detailLabel_->setText(localizedString(
        "The connection to Tovrin is not secure: someone may be listening in. Check your network, "
        "then try again."));
    detailLabel_->setFont(tovrinFont(QStringLiteral("DIN OT"), 16));
    detailLabel_->setTextColor(tovrinFormValueTextColor());
    detailLabel_->setTextAlignment(Qt::AlignCenter);
    detailLabel_->setNumberOfLines(0);
    tryAgainButton_ = new ui::Button(ui::Button::Type::Custom);
    tryAgainButton_->setTitle(localizedString("Try Again"));
    tryAgainButton_->titleLabel()->setFont(tovrinFont(QStringLiteral("DINOT-Bold"), 16));
    tryAgainButton_->setBackgroundColor(tovrinGoldenRodColor());
    tryAgainButton_->setTitleColor(tovrinGrayBlack1Color());
    tryAgainButton_->setCornerRadius(4);
    root->addSubview(headerLabel_);
    root->addSubview(detailLabel_);
    root->addSubview(tryAgainButton_);
    setView(root);
}

void UnsecureConnectionViewController::viewWillLayoutSubviews() {
    const QRectF area = view()->bounds();
    const double width = area.width() - 2 * unsecureMargin;
    const double detailHeight = detailLabel_->sizeThatFits(QSizeF(width, 1e6)).height();
    const double total = 32 + 16 + detailHeight + 32 + 50;
    double y = (area.height() - total) / 2;
    headerLabel_->setFrame(QRectF(unsecureMargin, y, width, 32));
    y += 32 + 16;
    detailLabel_->setFrame(QRectF(unsecureMargin, y, width, detailHeight));
    y += detailHeight + 32;
    tryAgainButton_->setFrame(QRectF(unsecureMargin, y, width, 50));
}

void UnsecureConnectionViewController::viewDidLoad() {
    ViewController::viewDidLoad();
    headerLabel_->setAccessibilityIdentifier(localizedString("UnsecureConnectionHeaderLabel"));
    detailLabel_->setAccessibilityIdentifier(localizedString("UnsecureConnectionDetailLabel"));
    tryAgainButton_->setAccessibilityIdentifier(localizedString("UnsecureConnectionTryAgainButton"));
    const std::weak_ptr<UnsecureConnectionViewController> weak = weakSelf<UnsecureConnectionViewController>();
    tryAgainButton_->addTarget(ui::Control::TouchUpInside, [weak](ui::Control&) {
        if (auto self = weak.lock()) self->tryAgainButtonPushed();
    });
}

void UnsecureConnectionViewController::tryAgainButtonPushed() {
    if (probing_) return;
    probing_ = true;
    const std::weak_ptr<UnsecureConnectionViewController> weak = weakSelf<UnsecureConnectionViewController>();
    // A screen that was replaced meanwhile is gone, and its answer with it.
    bootstrapService_->retrieveAuthenticationWebURL()
        .then(weak,
              [](UnsecureConnectionViewController& self, const QUrl&) {
                  self.probing_ = false;
                  self.certificateMismatchListener_->certificateIsValid();
              })
        .catchError(weak, [](UnsecureConnectionViewController& self, const Error& error) {
            self.probing_ = false;
            if (isTovrinServiceError(error, TovrinServiceErrorCertificateMismatch)) return;
            self.certificateMismatchListener_->certificateIsValid();
        });
}

}  // namespace tovrin
