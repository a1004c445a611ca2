#pragma once

#include "platform/ui/controls/Button.h"

namespace tovrin {

// A button that takes touches a settable distance beyond its bounds on every side, so that a
// small button is still easy to hit. The superview must reach that far for the touch to arrive.
class AdjustableTapTargetButton : public ui::Button {
    Q_OBJECT
public:
    explicit AdjustableTapTargetButton(ui::Button::Type type = ui::Button::Type::Custom,
                                       QWidget* parent = nullptr)
        : ui::Button(type, parent) {}

    double tapTargetExtension() const { return tapTargetExtension_; }
    void setTapTargetExtension(double extension) { tapTargetExtension_ = extension; }

    bool pointInside(const QPointF& point) const override {
        const double e = tapTargetExtension_;
        return QRectF(rect()).adjusted(-e, -e, e, e).contains(point);
    }

private:
    double tapTargetExtension_ = 0;
};

}  // namespace tovrin
