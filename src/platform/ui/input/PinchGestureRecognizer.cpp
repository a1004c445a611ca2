#include "platform/ui/input/PinchGestureRecognizer.h"

#include <QLineF>
#include <cmath>

namespace tovrin::ui {

double PinchGestureRecognizer::spread() const {
    if (touches().size() < 2) return 0;
    auto it = touches().begin();
    const QPointF first = it->second.windowLocation;
    return QLineF(first, (++it)->second.windowLocation).length();
}

void PinchGestureRecognizer::setScale(double scale) {
    base_ = scale;
    startSpread_ = spread();
    scale_ = scale;
}

void PinchGestureRecognizer::touchesBegan(const Touches& touches) {
    lastTimestamp_ = touches.front().timestamp;
    if (numberOfTouches() == 2) startSpread_ = spread();
}

void PinchGestureRecognizer::touchesMoved(const Touches& touches) {
    if (numberOfTouches() < 2 || startSpread_ <= 0) return;
    const double scale = base_ * spread() / startSpread_;
    const quint64 timestamp = touches.front().timestamp;
    if (timestamp > lastTimestamp_)
        velocity_ = (scale - scale_) * 1000.0 / double(timestamp - lastTimestamp_);
    lastTimestamp_ = timestamp;
    scale_ = scale;
    if (state() == State::Possible) {
        if (std::abs(scale_ - 1) > 0.05) setState(State::Began);
    } else if (state() == State::Began || state() == State::Changed) {
        setState(State::Changed);
    }
}

void PinchGestureRecognizer::touchesEnded(const Touches&) {
    if (state() == State::Began || state() == State::Changed) {
        setState(State::Ended);
    } else if (state() == State::Possible) {
        setState(State::Failed);
    }
}

void PinchGestureRecognizer::reset() {
    startSpread_ = 0;
    base_ = 1;
    scale_ = 1;
    velocity_ = 0;
}

}  // namespace tovrin::ui
