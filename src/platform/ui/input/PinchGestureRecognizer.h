#pragma once

#include "platform/ui/input/GestureRecognizer.h"

namespace tovrin::ui {

// Follows two touches moving apart or together; `scale` is their distance over the starting one.
class PinchGestureRecognizer : public GestureRecognizer {
public:
    using GestureRecognizer::GestureRecognizer;

    double scale() const { return scale_; }
    void setScale(double scale);
    // Scale per second.
    double velocity() const { return velocity_; }

protected:
    void touchesBegan(const Touches& touches) override;
    void touchesMoved(const Touches& touches) override;
    void touchesEnded(const Touches& touches) override;
    void reset() override;

private:
    double spread() const;

    double startSpread_ = 0;
    double base_ = 1;
    double scale_ = 1;
    double velocity_ = 0;
    quint64 lastTimestamp_ = 0;
};

}  // namespace tovrin::ui
