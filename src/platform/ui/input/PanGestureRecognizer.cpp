#include "platform/ui/input/PanGestureRecognizer.h"

#include <QLineF>

namespace tovrin::ui {

QPointF PanGestureRecognizer::centroid() const {
    return locationInView(nullptr);
}

QPointF PanGestureRecognizer::translationInView(const View*) const {
    // Views are only ever translated and scaled about their centre, so window distances are view distances.
    if (state() == State::Possible) return {};
    return lastLocation_ - start_ + offset_;
}

void PanGestureRecognizer::setTranslation(const QPointF& translation, const View*) {
    start_ = lastLocation_;
    offset_ = translation;
}

QPointF PanGestureRecognizer::velocityInView(const View*) const {
    return velocity_;
}

void PanGestureRecognizer::touchesBegan(const Touches& touches) {
    if (state() != State::Possible) return;
    start_ = lastLocation_ = centroid();
    lastTimestamp_ = touches.front().timestamp;
    velocity_ = {};
}

void PanGestureRecognizer::touchesMoved(const Touches& touches) {
    const QPointF location = centroid();
    const quint64 timestamp = touches.front().timestamp;
    if (timestamp > lastTimestamp_) {
        const double seconds = double(timestamp - lastTimestamp_) / 1000.0;
        const QPointF instant = (location - lastLocation_) / seconds;
        velocity_ = velocity_ * 0.2 + instant * 0.8;
        lastTimestamp_ = timestamp;
    }
    lastLocation_ = location;
    if (state() == State::Possible) {
        const QPointF translation = location - start_;
        if (QLineF(QPointF(), translation).length() < MinimumDistance) return;
        if (beginCondition_ && !beginCondition_(translation)) {
            setState(State::Failed);
            return;
        }
        // The gesture starts where it began to count, so content does not jump by the threshold.
        start_ = location;
        setState(State::Began);
    } else if (state() == State::Began || state() == State::Changed) {
        setState(State::Changed);
    }
}

void PanGestureRecognizer::touchesEnded(const Touches& touches) {
    if (numberOfTouches() > int(touches.size())) return;
    // A finger that rested before lifting throws nothing.
    if (touches.front().timestamp > lastTimestamp_ + 80) velocity_ = {};
    if (state() == State::Began || state() == State::Changed) {
        setState(State::Ended);
    } else if (state() == State::Possible) {
        setState(State::Failed);
    }
}

void PanGestureRecognizer::reset() {
    offset_ = {};
    velocity_ = {};
}

}  // namespace tovrin::ui
