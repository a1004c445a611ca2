#include "UserInterface/ModeratedImageView.h"

#include "Categories/UI/Font+Tovrin.h"
#include "UserInterface/IconLabel.h"
#include "UserInterface/Nibs.h"
#include "platform/foundation/Error.h"
#include "platform/foundation/Localization.h"
#include "platform/ui/controllers/ViewController.h"
#include "platform/ui/text/Label.h"

namespace tovrin {

namespace {

constexpr double overlayMargin = 8;

// The dimmed cover with the pending mark centred on it. The mark's width follows the screen's
// when tied to it, else it takes what fits.
class PendingApprovalOverlay : public ui::View {
public:
    explicit PendingApprovalOverlay(bool small)
        : small_(small), centered_(new ui::View()), glyph_(new IconLabel()) {
        setBackgroundColor(QColor(0, 0, 0, 150));
        glyph_->setIcon(QStringLiteral("fa-clock-o"));
        glyph_->setFont(tovrinFont(QStringLiteral("DIN OT"), small ? 16 : 28));
        glyph_->setTextColor(Qt::white);
        glyph_->setTextAlignment(Qt::AlignCenter);
        centered_->addSubview(glyph_);
        if (!small) {
            caption_ = new ui::Label();
            caption_->setText(localizedString("Pending Approval"));
            caption_->setFont(tovrinFont(QStringLiteral("DINOT-Medium"), 13));
            caption_->setTextColor(Qt::white);
            caption_->setTextAlignment(Qt::AlignCenter);
            caption_->setNumberOfLines(2);
            centered_->addSubview(caption_);
        }
        addSubview(centered_);
    }

    ui::View* centered() const { return centered_; }

    void tieCenteredWidth(ui::View* reference, double multiplier) {
        widthReference_ = reference;
        multiplier_ = multiplier;
        connect(reference, &View::geometryChanged, this, [this] { setNeedsLayout(); });
        setNeedsLayout();
    }

protected:
    void layoutSubviews() override {
        const QRectF area = bounds();
        const double room = std::max(0.0, area.width() - (small_ ? 0 : 2 * overlayMargin));
        double width = widthReference_ ? multiplier_ * widthReference_->bounds().width() : room;
        width = std::min(width, room);
        const double glyphHeight = glyph_->sizeThatFits(QSizeF(width, 0)).height();
        const double captionHeight = caption_ ? caption_->sizeThatFits(QSizeF(width, 0)).height() : 0;
        const double height = glyphHeight + (caption_ ? 4 + captionHeight : 0);
        centered_->setFrame(
            QRectF(area.center().x() - width / 2, area.center().y() - height / 2, width, height));
        glyph_->setFrame(QRectF(0, 0, width, glyphHeight));
        if (caption_) caption_->setFrame(QRectF(0, glyphHeight + 4, width, captionHeight));
    }

private:
    bool small_;
    ui::View* centered_;
    IconLabel* glyph_;
    ui::Label* caption_ = nullptr;
    QPointer<ui::View> widthReference_;
    double multiplier_ = 1;
};

std::vector<ui::View*> buildOverlay(QObject* owner, bool small) {
    auto* overlay = new PendingApprovalOverlay(small);
    overlay->setAccessibilityIdentifier(small ? QStringLiteral("ModeratedImageViewOverlaySmall")
                                              : QStringLiteral("ModeratedImageViewOverlay"));
    if (auto* imageView = qobject_cast<ModeratedImageView*>(owner)) {
        imageView->setOverlayView(overlay);
        imageView->setCenteredView(overlay->centered());
    }
    return {overlay};
}

}  // namespace

ModeratedImageView::ModeratedImageView(QWidget* parent) : ImageView(parent) {}

std::vector<ui::View*> ModeratedImageView::overlayNib(QObject* owner) {
    return buildOverlay(owner, false);
}

std::vector<ui::View*> ModeratedImageView::smallOverlayNib(QObject* owner) {
    return buildOverlay(owner, true);
}

QString ModeratedImageView::nibName() const {
    return small_ ? QStringLiteral("ModeratedImageViewOverlaySmall")
                  : QStringLiteral("ModeratedImageViewOverlay");
}

void ModeratedImageView::awakeFromNib() {
    for (ui::View* view : loadNibNamed(nibName(), this)) {
        if (view != overlayView_) delete view;
    }
    TVR_ASSERT(overlayView_, QStringLiteral("the overlay nib sets no overlay view"));
    addSubview(overlayView_);
    // It covers the image view itself, wherever that sits in its superview, and follows its size.
    overlayView_->setFrame(QRectF(QPointF(0, 0), frame().size()));
    if (auto screen = embeddedInViewControllerForWidthConstraint_.lock()) {
        if (auto* overlay = dynamic_cast<PendingApprovalOverlay*>(overlayView_.data())) {
            overlay->tieCenteredWidth(screen->view(), CenteredWidthMultiplier);
        }
    }
    setIsPendingApproval(false);
}

void ModeratedImageView::setIsPendingApproval(bool pending) {
    isPendingApproval_ = pending;
    showOverlay(pending);
}

void ModeratedImageView::showOverlay(bool show) {
    if (overlayView_) overlayView_->setHidden(!show);
}

void ModeratedImageView::layoutSubviews() {
    ImageView::layoutSubviews();
    if (overlayView_) overlayView_->setFrame(QRectF(QPointF(0, 0), frame().size()));
}

}  // namespace tovrin
