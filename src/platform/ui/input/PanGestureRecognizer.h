#pragma once

#include <QPointF>
#include <functional>

#include "platform/ui/input/GestureRecognizer.h"

namespace tovrin::ui {

// Begins once the touches have moved far enough, then follows them until they lift.
class PanGestureRecognizer : public GestureRecognizer {
public:
    using GestureRecognizer::GestureRecognizer;

    static constexpr double MinimumDistance = 10;

    // The movement since the gesture began (or since the last `setTranslation`), in the view's
    // coordinate space.
    QPointF translationInView(const View* view) const;
    void setTranslation(const QPointF& translation, const View* view);
    // Points per second, from the latest movements.
    QPointF velocityInView(const View* view) const;

    // Lets an owner refuse to begin for the first movement (a scroll view that cannot move that way).
    void setBeginCondition(std::function<bool(const QPointF& translation)> condition) {
        beginCondition_ = std::move(condition);
    }

protected:
    void touchesBegan(const Touches& touches) override;
    void touchesMoved(const Touches& touches) override;
    void touchesEnded(const Touches& touches) override;
    void reset() override;

private:
    QPointF centroid() const;

    QPointF start_;
    QPointF offset_;
    QPointF velocity_;
    QPointF lastLocation_;
    quint64 lastTimestamp_ = 0;
    std::function<bool(const QPointF&)> beginCondition_;
};

}  // namespace tovrin::ui
