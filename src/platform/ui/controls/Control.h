#pragma once

#include <functional>
#include <map>

#include "platform/ui/views/View.h"

namespace tovrin::ui {

// A view that turns touches into control events and sends them to its targets.
class Control : public View {
    Q_OBJECT
public:
    enum State : int { Normal = 0, Highlighted = 1, Disabled = 2, Selected = 4 };
    enum Event : int {
        TouchDown = 1 << 0,
        TouchDownRepeat = 1 << 1,
        TouchDragInside = 1 << 2,
        TouchDragOutside = 1 << 3,
        TouchDragEnter = 1 << 4,
        TouchDragExit = 1 << 5,
        TouchUpInside = 1 << 6,
        TouchUpOutside = 1 << 7,
        TouchCancel = 1 << 8,
        ValueChanged = 1 << 12,
        PrimaryActionTriggered = 1 << 13,
        EditingDidBegin = 1 << 16,
        EditingChanged = 1 << 17,
        EditingDidEnd = 1 << 18,
        EditingDidEndOnExit = 1 << 19,
        AllTouchEvents = 0x0FFF,
        AllEditingEvents = 0xF0000,
    };
    using Action = std::function<void(Control&)>;

    explicit Control(QWidget* parent = nullptr);

    // The identifier removes the target again.
    int addTarget(int events, Action action);
    void removeTarget(int identifier);
    void removeTargets(int events);
    bool hasTargets(int events) const;
    void sendActionsForControlEvents(int events);

    int state() const;
    bool isSelected() const { return selected_; }
    virtual void setSelected(bool selected);
    bool isHighlighted() const { return highlighted_; }
    virtual void setHighlighted(bool highlighted);
    bool isTracking() const { return tracking_; }
    bool isTouchInside() const { return touchInside_; }

    void touchesBegan(const Touches& touches) override;
    void touchesMoved(const Touches& touches) override;
    void touchesEnded(const Touches& touches) override;
    void touchesCancelled(const Touches& touches) override;

protected:
    virtual void stateChanged() { update(); }
    // Tracking of one touch in view coordinates; returning false from the first two stops it.
    virtual bool beginTracking(const QPointF& location) { return true; }
    virtual bool continueTracking(const QPointF& location) { return true; }
    virtual void endTracking(const QPointF& location) {}
    virtual void cancelTracking() {}
    void changeEvent(QEvent* event) override;

private:
    struct Target {
        int events;
        Action action;
    };

    bool isInsideWhileTracking(const QPointF& location) const;

    std::map<int, Target> targets_;
    int nextTarget_ = 1;
    bool selected_ = false;
    bool highlighted_ = false;
    bool tracking_ = false;
    bool touchInside_ = false;
};

}  // namespace tovrin::ui
