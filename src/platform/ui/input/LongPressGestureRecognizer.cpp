#include "platform/ui/input/LongPressGestureRecognizer.h"

#include <QLineF>

namespace tovrin::ui {

LongPressGestureRecognizer::~LongPressGestureRecognizer() {
    delete timer_;
}

void LongPressGestureRecognizer::touchesBegan(const Touches& touches) {
    start_ = touches.front().windowLocation;
    if (!timer_) {
        timer_ = new QTimer();
        timer_->setSingleShot(true);
        QObject::connect(timer_, &QTimer::timeout, [weak = weakSelf<LongPressGestureRecognizer>()] {
            auto self = weak.lock();
            if (self && self->state() == State::Possible) self->setState(State::Began);
        });
    }
    timer_->start(int(minimumPressDuration_ * 1000));
}

void LongPressGestureRecognizer::touchesMoved(const Touches& touches) {
    if (state() == State::Possible) {
        if (QLineF(touches.front().windowLocation, start_).length() > AllowableMovement)
            setState(State::Failed);
    } else if (state() == State::Began || state() == State::Changed) {
        setState(State::Changed);
    }
}

void LongPressGestureRecognizer::touchesEnded(const Touches&) {
    if (timer_) timer_->stop();
    if (state() == State::Began || state() == State::Changed) {
        setState(State::Ended);
    } else if (state() == State::Possible) {
        setState(State::Failed);
    }
}

void LongPressGestureRecognizer::reset() {
    if (timer_) timer_->stop();
}

}  // namespace tovrin::ui
