#include "platform/ui/controls/Control.h"

#include <QEvent>

namespace tovrin::ui {
namespace {

// A finger may stray this far outside a control and still count as inside.
constexpr double TrackingSlop = 70;

}  // namespace

Control::Control(QWidget* parent) : View(parent) {}

int Control::addTarget(int events, Action action) {
    const int identifier = nextTarget_++;
    targets_.emplace(identifier, Target{events, std::move(action)});
    return identifier;
}

void Control::removeTarget(int identifier) {
    targets_.erase(identifier);
}

void Control::removeTargets(int events) {
    std::erase_if(targets_, [events](const auto& entry) { return (entry.second.events & events) != 0; });
}

bool Control::hasTargets(int events) const {
    return std::any_of(targets_.begin(), targets_.end(),
                       [events](const auto& entry) { return (entry.second.events & events) != 0; });
}

void Control::sendActionsForControlEvents(int events) {
    QPointer<Control> self(this);
    const auto targets = targets_;
    for (const auto& [identifier, target] : targets) {
        if (!self) return;
        if ((target.events & events) && target.action) target.action(*this);
    }
}

int Control::state() const {
    int state = Normal;
    if (highlighted_) state |= Highlighted;
    if (!isEnabled()) state |= Disabled;
    if (selected_) state |= Selected;
    return state;
}

void Control::setSelected(bool selected) {
    if (selected_ == selected) return;
    selected_ = selected;
    stateChanged();
}

void Control::setHighlighted(bool highlighted) {
    if (highlighted_ == highlighted) return;
    highlighted_ = highlighted;
    stateChanged();
}

void Control::changeEvent(QEvent* event) {
    View::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) stateChanged();
}

bool Control::isInsideWhileTracking(const QPointF& location) const {
    return bounds().adjusted(-TrackingSlop, -TrackingSlop, TrackingSlop, TrackingSlop).contains(location);
}

void Control::touchesBegan(const Touches& touches) {
    if (!isEnabled() || tracking_) return;
    const QPointF location = touches.front().locationInView(this);
    QPointer<Control> self(this);
    tracking_ = beginTracking(location);
    touchInside_ = true;
    setHighlighted(true);
    sendActionsForControlEvents(TouchDown);
    if (!self) return;
}

void Control::touchesMoved(const Touches& touches) {
    if (!tracking_) return;
    const QPointF location = touches.front().locationInView(this);
    const bool inside = isInsideWhileTracking(location);
    QPointer<Control> self(this);
    if (inside != touchInside_) sendActionsForControlEvents(inside ? TouchDragEnter : TouchDragExit);
    if (!self) return;
    touchInside_ = inside;
    setHighlighted(inside);
    sendActionsForControlEvents(inside ? TouchDragInside : TouchDragOutside);
    if (self && !continueTracking(location)) tracking_ = false;
}

void Control::touchesEnded(const Touches& touches) {
    const QPointF location = touches.front().locationInView(this);
    const bool inside = isInsideWhileTracking(location);
    QPointer<Control> self(this);
    const bool wasTracking = tracking_;
    tracking_ = false;
    setHighlighted(false);
    if (wasTracking) endTracking(location);
    if (!self || !isEnabled()) return;
    sendActionsForControlEvents(inside ? TouchUpInside : TouchUpOutside);
    if (self && inside) sendActionsForControlEvents(PrimaryActionTriggered);
}

void Control::touchesCancelled(const Touches&) {
    tracking_ = false;
    setHighlighted(false);
    cancelTracking();
    sendActionsForControlEvents(TouchCancel);
}

}  // namespace tovrin::ui
