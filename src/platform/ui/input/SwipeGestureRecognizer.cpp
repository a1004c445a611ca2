#include "platform/ui/input/SwipeGestureRecognizer.h"

#include <cmath>

namespace tovrin::ui {

void SwipeGestureRecognizer::touchesBegan(const Touches& touches) {
    if (numberOfTouches() > 1) {
        setState(State::Failed);
        return;
    }
    start_ = touches.front().windowLocation;
    startTime_ = touches.front().timestamp;
}

void SwipeGestureRecognizer::touchesMoved(const Touches& touches) {
    const Touch& touch = touches.front();
    if (double(touch.timestamp - startTime_) / 1000.0 > MaximumDuration) {
        setState(State::Failed);
        return;
    }
    const QPointF delta = touch.windowLocation - start_;
    const bool horizontal = std::abs(delta.x()) >= std::abs(delta.y());
    const double along = horizontal ? std::abs(delta.x()) : std::abs(delta.y());
    const double across = horizontal ? std::abs(delta.y()) : std::abs(delta.x());
    if (along < MinimumDistance) return;
    // Within about 30 degrees of an allowed direction.
    int moved = horizontal ? (delta.x() > 0 ? Right : Left) : (delta.y() > 0 ? Down : Up);
    if ((direction_ & moved) && across <= along * 0.58) {
        setState(State::Ended);
    } else {
        setState(State::Failed);
    }
}

void SwipeGestureRecognizer::touchesEnded(const Touches&) {
    if (state() == State::Possible) setState(State::Failed);
}

}  // namespace tovrin::ui
