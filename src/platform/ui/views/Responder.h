#pragma once

#include <QPointF>
#include <QPointer>
#include <memory>
#include <vector>

namespace tovrin::ui {

class View;

// One finger (or the mouse) on the screen. Locations are in window coordinates.
struct Touch {
    enum class Phase { Began, Moved, Ended, Cancelled };

    int identifier = 0;
    Phase phase = Phase::Began;
    QPointF windowLocation;
    QPointF previousWindowLocation;
    // Milliseconds, from the event that moved the touch.
    quint64 timestamp = 0;
    QPointer<View> view;

    QPointF locationInView(const View* view) const;
};

using Touches = std::vector<Touch>;

// The chain that events and editing travel along: a view, then its view controller when it is one's
// root view, then its superview, up to the window.
class Responder {
public:
    virtual ~Responder() = default;

    virtual Responder* nextResponder() const = 0;

    virtual void touchesBegan(const Touches& touches);
    virtual void touchesMoved(const Touches& touches);
    virtual void touchesEnded(const Touches& touches);
    virtual void touchesCancelled(const Touches& touches);

    // The views the keyboard shows for this responder: `inputView` in place of the keys, and
    // `inputAccessoryView` above them. When the first responder has no accessory, the nearest one
    // up the chain is shown. They are shared widget handles (`sharedWidget`): the keyboard holds
    // them while they are on screen.
    virtual std::shared_ptr<View> inputView() const { return nullptr; }
    virtual std::shared_ptr<View> inputAccessoryView() const { return nullptr; }
};

}  // namespace tovrin::ui
