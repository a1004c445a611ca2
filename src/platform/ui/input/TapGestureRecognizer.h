#pragma once

#include <QPointF>
#include <QTimer>

#include "platform/ui/input/GestureRecognizer.h"

namespace tovrin::ui {

// Recognizes when the required number of taps (quick touches without much movement, each soon
// after the previous one) has ended.
class TapGestureRecognizer : public GestureRecognizer {
public:
    using GestureRecognizer::GestureRecognizer;
    ~TapGestureRecognizer() override;

    int numberOfTapsRequired() const { return tapsRequired_; }
    void setNumberOfTapsRequired(int taps) { tapsRequired_ = std::max(1, taps); }

    // How long the next tap may take to begin, in seconds.
    static constexpr double MaximumTapInterval = 0.35;
    static constexpr double AllowableMovement = 10;

protected:
    void touchesBegan(const Touches& touches) override;
    void touchesMoved(const Touches& touches) override;
    void touchesEnded(const Touches& touches) override;
    void reset() override;

private:
    void startTimer();
    void stopTimer();

    int tapsRequired_ = 1;
    int taps_ = 0;
    QPointF start_;
    QTimer* timer_ = nullptr;
};

}  // namespace tovrin::ui
