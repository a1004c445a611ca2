#include "platform/ui/controls/Switch.h"

#include <QPainter>

#include "platform/ui/animation/ViewAnimation.h"

namespace tovrin::ui {

Switch::Switch(QWidget* parent) : Control(parent) {
    setFrame(QRectF(QPointF(0, 0), intrinsicContentSize()));
}

void Switch::setOn(bool on, bool animated) {
    on_ = on;
    const double target = on ? 1 : 0;
    if (!animated) {
        knob_ = target;
        update();
        return;
    }
    const double from = knob_;
    QPointer<Switch> self(this);
    AnimationOptions options;
    options.duration = 0.2;
    ViewAnimation::run(options, this, [self, from, target](double progress) {
        if (!self) return;
        self->knob_ = from + (target - from) * progress;
        self->update();
    });
}

void Switch::setOnTintColor(const QColor& color) {
    onTint_ = color;
    update();
}

void Switch::setThumbTintColor(const QColor& color) {
    thumbTint_ = color;
    update();
}

void Switch::endTracking(const QPointF& location) {
    if (!bounds().adjusted(-20, -20, 20, 20).contains(location)) return;
    setOn(!on_, true);
    sendActionsForControlEvents(ValueChanged);
}

void Switch::drawRect(QPainter& painter, const QRectF& rect) {
    const QRectF track = rect.adjusted(1, 1, -1, -1);
    const double radius = track.height() / 2;
    QColor off(229, 229, 234);
    QColor fill = QColor::fromRgbF(off.redF() + (onTint_.redF() - off.redF()) * float(knob_),
                                   off.greenF() + (onTint_.greenF() - off.greenF()) * float(knob_),
                                   off.blueF() + (onTint_.blueF() - off.blueF()) * float(knob_));
    if (!isEnabled()) fill.setAlphaF(0.5f);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(track, radius, radius);
    const double diameter = track.height() - 4;
    const double x = track.left() + 2 + (track.width() - diameter - 4) * knob_;
    painter.setBrush(thumbTint_);
    painter.setPen(QPen(QColor(0, 0, 0, 30), 0.5));
    painter.drawEllipse(QRectF(x, track.top() + 2, diameter, diameter));
}

}  // namespace tovrin::ui
