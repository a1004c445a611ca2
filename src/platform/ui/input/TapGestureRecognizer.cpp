#include "platform/ui/input/TapGestureRecognizer.h"

#include <QLineF>

namespace tovrin::ui {

TapGestureRecognizer::~TapGestureRecognizer() {
    delete timer_;
}

void TapGestureRecognizer::touchesBegan(const Touches& touches) {
    stopTimer();
    if (numberOfTouches() > 1) {
        setState(State::Failed);
        return;
    }
    const QPointF location = touches.front().windowLocation;
    if (taps_ > 0 && QLineF(location, start_).length() > AllowableMovement * 4) {
        setState(State::Failed);
        return;
    }
    start_ = location;
    startTimer();
}

void TapGestureRecognizer::touchesMoved(const Touches& touches) {
    if (QLineF(touches.front().windowLocation, start_).length() > AllowableMovement) setState(State::Failed);
}

void TapGestureRecognizer::touchesEnded(const Touches&) {
    stopTimer();
    if (++taps_ >= tapsRequired_) {
        setState(State::Ended);
    } else {
        startTimer();
    }
}

void TapGestureRecognizer::reset() {
    stopTimer();
    taps_ = 0;
}

void TapGestureRecognizer::startTimer() {
    if (!timer_) {
        timer_ = new QTimer();
        timer_->setSingleShot(true);
        std::weak_ptr<GestureRecognizer> weak = weak_from_this();
        QObject::connect(timer_, &QTimer::timeout, [weak] {
            if (auto self = weak.lock()) self->failFromOutside();
        });
    }
    timer_->start(int(MaximumTapInterval * 1000));
}

void TapGestureRecognizer::stopTimer() {
    if (timer_) timer_->stop();
}

}  // namespace tovrin::ui
