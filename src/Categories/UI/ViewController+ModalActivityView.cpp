#include "Categories/UI/ViewController+ModalActivityView.h"

#include <QPointer>
#include <typeinfo>

#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/controllers/ViewController.h"
#include "platform/ui/controls/ActivityIndicatorView.h"
#include "platform/ui/scrolling/ScrollView.h"

namespace tovrin {
namespace {

constexpr double FadeInDuration = 0.4;

// The dimmed layer; it keeps its spinner in its centre.
class ModalActivityView : public ui::View {
public:
    explicit ModalActivityView(ui::View* covered) {
        setAccessibilityIdentifier(QStringLiteral("ModalActivityView"));
        setBackgroundColor(QColor::fromRgbF(0, 0, 0, 0.6f));
        spinner_ = new ui::ActivityIndicatorView(ui::ActivityIndicatorView::Style::WhiteLarge, this);
        spinner_->startAnimating();
        // It follows the covered view's size, as if it resized with it.
        QPointer<ModalActivityView> self(this);
        QObject::connect(covered, &ui::View::geometryChanged, this, [self, covered] {
            if (self) self->setFrame(QRectF(self->frame().topLeft(), covered->bounds().size()));
        });
    }

protected:
    void layoutSubviews() override {
        const QSizeF size = spinner_->intrinsicContentSize();
        spinner_->setFrame(QRectF(bounds().center() - QPointF(size.width() / 2, size.height() / 2), size));
    }

private:
    ui::ActivityIndicatorView* spinner_;
};

bool isPlainScrollView(const ui::View* view) {
    return view && typeid(*view) == typeid(ui::ScrollView);
}

ui::View* viewToCover(ui::ViewController& controller) {
    ui::View* view = controller.view();
    if (isPlainScrollView(view)) view = view->superview();
    if (!view || isPlainScrollView(view)) return nullptr;
    return view;
}

}  // namespace

bool tvr_presentModalActivityView(ui::ViewController& controller) {
    ui::View* covered = viewToCover(controller);
    if (!covered) return false;
    // A stored overlay left on screen would swallow every touch for good.
    tvr_dismissModalActivityView(controller);
    auto* overlay = new ModalActivityView(covered);
    ui::ViewAnimation::performWithoutAnimation([&] {
        overlay->setFrame(covered->bounds());
        overlay->setAlpha(0);
    });
    covered->addSubview(overlay);
    QPointer<ui::View> fading(overlay);
    ui::ViewAnimation::animate(FadeInDuration, [fading] {
        if (fading) fading->setAlpha(1.0);
    });
    controller.setAssociatedObject(MODALACTIVITYVIEWKEY, QPointer<ui::View>(overlay));
    return true;
}

void tvr_dismissModalActivityView(ui::ViewController& controller) {
    const std::any* stored = controller.associatedObject(MODALACTIVITYVIEWKEY);
    if (!stored) return;
    QPointer<ui::View> overlay = std::any_cast<QPointer<ui::View>>(*stored);
    controller.setAssociatedObject(MODALACTIVITYVIEWKEY, {});
    if (!overlay) return;
    overlay->removeFromSuperview();
    overlay->deleteLater();
}

}  // namespace tovrin
