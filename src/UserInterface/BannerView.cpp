#include "UserInterface/BannerView.h"

#include "platform/ui/input/SwipeGestureRecognizer.h"

namespace tovrin {

BannerView::BannerView(QWidget* parent)
    : View(parent), swipeGestureRecognizer_(std::make_shared<ui::SwipeGestureRecognizer>()) {
    swipeGestureRecognizer_->setDirection(ui::SwipeGestureRecognizer::Up);
    // The banner holds the recognizer, so the target never outlives it.
    swipeGestureRecognizer_->addTarget([this](ui::GestureRecognizer& recognizer) {
        if (recognizer.state() == ui::GestureRecognizer::State::Ended) swiped();
    });
    addGestureRecognizer(swipeGestureRecognizer_);
}

void BannerView::swiped() {
    if (auto delegate = delegate_.lock()) delegate->didSwipeToDismissBannerView(*this);
}

}  // namespace tovrin
