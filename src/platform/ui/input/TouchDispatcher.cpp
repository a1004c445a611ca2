#include "platform/ui/input/TouchDispatcher.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTouchEvent>

#include "platform/ui/controls/Control.h"
#include "platform/ui/input/GestureRecognizer.h"
#include "platform/ui/input/TapGestureRecognizer.h"
#include "platform/ui/views/View.h"
#include "platform/ui/views/Window.h"

namespace tovrin::ui {
namespace {

constexpr int MouseTouch = -1;

bool isPress(QEvent::Type type) {
    return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
}

std::vector<std::shared_ptr<GestureRecognizer>> recognizersFor(View* hit) {
    std::vector<std::shared_ptr<GestureRecognizer>> found;
    // A control's own tracking wins over the single taps of the views around it.
    const bool onControl = qobject_cast<Control*>(hit) != nullptr;
    for (View* view = hit; view; view = view->superview()) {
        if (!view->isUserInteractionEnabled()) continue;
        for (const auto& recognizer : view->gestureRecognizers()) {
            if (!recognizer->isEnabled()) continue;
            auto* tap = dynamic_cast<TapGestureRecognizer*>(recognizer.get());
            if (onControl && view != hit && tap && tap->numberOfTapsRequired() == 1) continue;
            found.push_back(recognizer);
        }
    }
    return found;
}

}  // namespace

void TouchDispatcher::install() {
    static TouchDispatcher* dispatcher = [] {
        auto* instance = new TouchDispatcher();
        instance->setParent(qApp);
        qApp->installEventFilter(instance);
        return instance;
    }();
    Q_UNUSED(dispatcher);
}

bool TouchDispatcher::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease:
            if (auto* widget = qobject_cast<QWidget*>(watched)) {
                return handleMouse(widget, static_cast<QMouseEvent*>(event));
            }
            return false;
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TouchCancel:
            if (auto* widget = qobject_cast<QWidget*>(watched)) {
                return handleTouch(widget, static_cast<QTouchEvent*>(event));
            }
            return false;
        default:
            return false;
    }
}

void TouchDispatcher::begin(Window* window, QWidget* receiver, const QPointF& windowLocation) {
    // A new first touch ends whatever was left of an earlier sequence.
    if (sequence_) cancelViewTouches();
    sequence_ = std::make_unique<Sequence>();
    sequence_->window = window;
    View* hit = window->hitTest(windowLocation);
    sequence_->hitView = hit;
    // Plain Qt leaves (text editors) handle their own clicks; views get touches only.
    sequence_->passToWidget = hit && !qobject_cast<View*>(receiver) && enclosingView(receiver) == hit;
    sequence_->recognizers = recognizersFor(hit);
    // Recognizers still waiting from a previous sequence (a tap waiting for its second tap) but not
    // on this touch's way fail now.
    for (const auto& member : GestureArena::members()) {
        if (std::find(sequence_->recognizers.begin(), sequence_->recognizers.end(), member) ==
            sequence_->recognizers.end()) {
            member->failFromOutside();
        }
    }
    for (const auto& recognizer : sequence_->recognizers) GestureArena::enter(recognizer);
}

bool TouchDispatcher::handleMouse(QWidget* receiver, QMouseEvent* event) {
    auto* window = qobject_cast<Window*>(receiver->window());
    if (!window) return false;
    const QPointF location = window->mapFromGlobal(event->globalPosition());
    Touch touch;
    touch.identifier = MouseTouch;
    touch.windowLocation = location;
    touch.timestamp = event->timestamp();
    if (isPress(event->type())) {
        if (event->button() != Qt::LeftButton) return false;
        begin(window, receiver, location);
        touch.phase = Touch::Phase::Began;
    } else if (!sequence_ || !sequence_->touches.contains(MouseTouch)) {
        return false;
    } else if (event->type() == QEvent::MouseMove) {
        if (!(event->buttons() & Qt::LeftButton)) return false;
        touch.phase = Touch::Phase::Moved;
    } else {
        if (event->button() != Qt::LeftButton) return false;
        touch.phase = Touch::Phase::Ended;
    }
    const bool passToWidget = sequence_->passToWidget;
    deliver({touch});
    return !passToWidget;
}

bool TouchDispatcher::handleTouch(QWidget* receiver, QTouchEvent* event) {
    auto* window = qobject_cast<Window*>(receiver->window());
    if (!window) return false;
    // Leaves get the mouse events Qt makes of unhandled touches.
    if (event->type() == QEvent::TouchBegin && !qobject_cast<View*>(receiver)) return false;
    Touches touches;
    for (const auto& point : event->points()) {
        Touch touch;
        touch.identifier = point.id();
        touch.windowLocation = window->mapFromGlobal(point.globalPosition());
        touch.timestamp = event->timestamp();
        switch (point.state()) {
            case QEventPoint::Pressed:
                touch.phase = Touch::Phase::Began;
                break;
            case QEventPoint::Released:
                touch.phase = Touch::Phase::Ended;
                break;
            case QEventPoint::Stationary:
                continue;
            default:
                touch.phase = Touch::Phase::Moved;
        }
        if (event->type() == QEvent::TouchCancel) touch.phase = Touch::Phase::Cancelled;
        touches.push_back(touch);
    }
    if (event->type() == QEvent::TouchBegin) begin(window, receiver, touches.front().windowLocation);
    if (!sequence_) return false;
    deliver(touches);
    event->accept();
    return true;
}

void TouchDispatcher::deliver(const Touches& incoming) {
    Touches touches = incoming;
    for (auto& touch : touches) {
        auto known = sequence_->touches.find(touch.identifier);
        touch.previousWindowLocation =
            known != sequence_->touches.end() ? known->second.windowLocation : touch.windowLocation;
        touch.view = sequence_->hitView;
        if (touch.phase == Touch::Phase::Ended || touch.phase == Touch::Phase::Cancelled) {
            sequence_->touches.erase(touch.identifier);
        } else {
            sequence_->touches[touch.identifier] = touch;
        }
    }
    const auto recognizers = sequence_->recognizers;
    for (const auto& recognizer : recognizers) {
        if (recognizer->view()) recognizer->handleTouches(touches);
        if (!sequence_) return;
        using State = GestureRecognizer::State;
        const State state = recognizer->state();
        const bool recognized = state == State::Began || state == State::Changed ||
                                (state == State::Ended && recognizer->isInvolved());
        if (recognized && recognizer->cancelsTouchesInView() && sequence_->deliverToView) cancelViewTouches();
    }
    if (sequence_->deliverToView && sequence_->hitView) {
        Touches forView;
        Touches ended;
        for (const auto& touch : touches)
            (touch.phase == Touch::Phase::Began ? forView : ended).push_back(touch);
        QPointer<View> hit = sequence_->hitView;
        if (!forView.empty()) hit->touchesBegan(forView);
        Touches moved, finished, cancelled;
        for (const auto& touch : ended) {
            if (touch.phase == Touch::Phase::Moved) moved.push_back(touch);
            if (touch.phase == Touch::Phase::Ended) finished.push_back(touch);
            if (touch.phase == Touch::Phase::Cancelled) cancelled.push_back(touch);
        }
        if (hit && !moved.empty()) hit->touchesMoved(moved);
        if (hit && !finished.empty()) hit->touchesEnded(finished);
        if (hit && !cancelled.empty()) hit->touchesCancelled(cancelled);
    }
    if (sequence_ && sequence_->touches.empty()) {
        for (const auto& recognizer : sequence_->recognizers) recognizer->finishSequence();
        sequence_.reset();
    }
}

void TouchDispatcher::cancelViewTouches() {
    if (!sequence_ || !sequence_->deliverToView) return;
    sequence_->deliverToView = false;
    sequence_->passToWidget = false;
    if (!sequence_->hitView || sequence_->touches.empty()) return;
    Touches cancelled;
    for (auto [identifier, touch] : sequence_->touches) {
        touch.phase = Touch::Phase::Cancelled;
        cancelled.push_back(touch);
    }
    sequence_->hitView->touchesCancelled(cancelled);
}

}  // namespace tovrin::ui
