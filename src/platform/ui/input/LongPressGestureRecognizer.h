#pragma once

#include <QPointF>
#include <QTimer>

#include "platform/ui/input/GestureRecognizer.h"

namespace tovrin::ui {

// Begins when a touch stays down, nearly still, for the minimum duration; changes as it moves and
// ends when it lifts.
class LongPressGestureRecognizer : public GestureRecognizer {
public:
    using GestureRecognizer::GestureRecognizer;
    ~LongPressGestureRecognizer() override;

    double minimumPressDuration() const { return minimumPressDuration_; }
    void setMinimumPressDuration(double seconds) { minimumPressDuration_ = seconds; }
    static constexpr double AllowableMovement = 10;

protected:
    void touchesBegan(const Touches& touches) override;
    void touchesMoved(const Touches& touches) override;
    void touchesEnded(const Touches& touches) override;
    void reset() override;

private:
    double minimumPressDuration_ = 0.5;
    QPointF start_;
    QTimer* timer_ = nullptr;
};

}  // namespace tovrin::ui
