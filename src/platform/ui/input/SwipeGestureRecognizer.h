#pragma once

#include <QPointF>

#include "platform/ui/input/GestureRecognizer.h"

namespace tovrin::ui {

// Recognizes a quick movement of one touch in one of the allowed directions.
class SwipeGestureRecognizer : public GestureRecognizer {
public:
    enum Direction { Right = 1, Left = 2, Up = 4, Down = 8 };

    using GestureRecognizer::GestureRecognizer;

    int direction() const { return direction_; }
    void setDirection(int directions) { direction_ = directions; }

    static constexpr double MinimumDistance = 50;
    static constexpr double MaximumDuration = 0.5;

protected:
    void touchesBegan(const Touches& touches) override;
    void touchesMoved(const Touches& touches) override;
    void touchesEnded(const Touches& touches) override;

private:
    int direction_ = Right;
    QPointF start_;
    quint64 startTime_ = 0;
};

}  // namespace tovrin::ui
