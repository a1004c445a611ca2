#include "UserInterface/BannerView.h"

#include <QPointer>

#include "platform/ui/input/SwipeGestureRecognizer.h"

namespace tovrin {

BannerView::BannerView(QWidget* parent)
    : View(parent), swipeGestureRecognizer_(std::make_shared<ui::SwipeGestureRecognizer>()) {
    swipeGestureRecognizer_->setDirection(ui::SwipeGestureRecognizer::Up);
    // The touch handling may hold the recognizer a moment longer than the banner lives.
    QPointer<BannerView> self(this);
    swipeGestureRecognizer_->addTarget([self](ui::GestureRecognizer& recognizer) {
        if (self && recognizer.state() == ui::GestureRecognizer::State::Ended) self->swiped();
    });
    addGestureRecognizer(swipeGestureRecognizer_);
}

void BannerView::swiped() {
    if (auto delegate = delegate_.lock()) delegate->didSwipeToDismissBannerView(*this);
}

}  // namespace tovrin
