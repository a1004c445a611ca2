#pragma once

#include <QObject>
#include <QPointer>
#include <map>
#include <memory>
#include <vector>

#include "platform/ui/views/Responder.h"

class QMouseEvent;
class QTouchEvent;

namespace tovrin::ui {

class GestureRecognizer;
class View;
class Window;

// Turns mouse and touch events inside our windows into touches: the hit view (by the toolkit's own
// hit test) and the gesture recognizers on it and its superviews receive them. Events over a plain
// Qt leaf widget (the editor inside a text field) also go on to that widget.
class TouchDispatcher : public QObject {
    Q_OBJECT
public:
    static void install();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Sequence {
        QPointer<Window> window;
        QPointer<View> hitView;
        bool passToWidget = false;
        bool deliverToView = true;
        std::vector<std::shared_ptr<GestureRecognizer>> recognizers;
        std::map<int, Touch> touches;
    };

    bool handleMouse(QWidget* receiver, QMouseEvent* event);
    bool handleTouch(QWidget* receiver, QTouchEvent* event);
    void begin(Window* window, QWidget* receiver, const QPointF& windowLocation);
    void deliver(const Touches& touches);
    void cancelViewTouches();

    std::unique_ptr<Sequence> sequence_;
};

}  // namespace tovrin::ui
