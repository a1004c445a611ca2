#include "UserInterface/TrackingInputAccessoryView.h"

#include "platform/system/Screen.h"

namespace tovrin {

TrackingInputAccessoryView::TrackingInputAccessoryView(QWidget* parent)
    : TrackingInputAccessoryView(Screen::main(), parent) {}

TrackingInputAccessoryView::TrackingInputAccessoryView(std::shared_ptr<tovrin::Screen> screen,
                                                       QWidget* parent)
    : View(parent), screen_(std::move(screen)) {}

void TrackingInputAccessoryView::layoutSubviews() {
    View::layoutSubviews();
    // The superview is the keyboard's host; without one nothing covers the screen's top.
    const double hostTop = superview() ? superview()->frame().top() : 0;
    const double coveredHeight = screen_->bounds().height() - hostTop;
    if (auto delegate = delegate_.lock()) delegate->trackingInputAccessoryView(*this, coveredHeight);
}

}  // namespace tovrin
