#include "platform/ui/views/Window.h"

#include <QEvent>
#include <QPainter>
#include <QTime>

#include "platform/foundation/NotificationCenter.h"
#include "platform/system/Screen.h"
#include "platform/ui/input/Keyboard.h"
#include "platform/ui/input/TouchDispatcher.h"
#include "platform/ui/text/Font.h"

namespace tovrin::ui {
namespace {

QPointer<Window>& keyWindowPointer() {
    static QPointer<Window> window;
    return window;
}

// A full-window layer that only takes touches on its subviews. While it holds none, the window
// system's mouse events pass through it too, to the plain Qt widgets below (a web page).
class PassThroughView : public View {
public:
    explicit PassThroughView(QWidget* parent) : View(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    View* hitTest(const QPointF& point) override {
        View* hit = View::hitTest(point);
        return hit == this ? nullptr : hit;
    }

protected:
    void childEvent(QChildEvent* event) override {
        View::childEvent(event);
        if (event->type() != QEvent::ChildAdded && event->type() != QEvent::ChildRemoved) return;
        const QObjectList& kids = children();
        const bool empty =
            std::none_of(kids.begin(), kids.end(), [](QObject* child) { return child->isWidgetType(); });
        setAttribute(Qt::WA_TransparentForMouseEvents, empty);
    }
};

class StatusBarView : public View {
public:
    explicit StatusBarView(Window* window) : View(window), window_(window) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setUserInteractionEnabled(false);
    }

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override {
        if (!window_) return;
        const bool light = window_->statusBarStyle() == StatusBarStyle::LightContent;
        painter.setPen(light ? Qt::white : Qt::black);
        painter.setFont(Font::boldSystemFont(12));
        painter.drawText(rect, Qt::AlignCenter, QTime::currentTime().toString(QStringLiteral("HH:mm")));
    }

private:
    QPointer<Window> window_;
};

// A responder with only an input accessory brings that up alone.
bool wantsKeyboard(View* responder) {
    return responder &&
           (responder->isTextInput() || responder->inputView() || responder->inputAccessoryView());
}

}  // namespace

Window::Window(std::shared_ptr<Application> application,
               std::shared_ptr<NotificationCenter> notificationCenter)
    : View(nullptr),
      application_(std::move(application)),
      notificationCenter_(notificationCenter ? std::move(notificationCenter)
                                             : NotificationCenter::defaultCenter()) {
    TouchDispatcher::install();
    // Touch screens reach the window; the dispatcher finds the view touched.
    setAttribute(Qt::WA_AcceptTouchEvents);
    setBackgroundColor(Qt::black);
    const QSizeF size = Screen::main()->bounds().size();
    setFixedSize(size.toSize());
    frame_ = presentedFrame_ = QRectF(QPointF(0, 0), size);
    rootContainer_ = new PassThroughView(this);
    presentationContainer_ = new PassThroughView(this);
    statusBar_ = new StatusBarView(this);
    keyboard_ = std::make_unique<Keyboard>(this, notificationCenter_);
    layoutSubviews();
}

Window::~Window() {
    if (keyWindowPointer() == this) keyWindowPointer() = nullptr;
    firstResponder_ = nullptr;
    keyboard_.reset();
    // The root's view is the controller's to delete; take it out first so the order does not matter.
    if (rootViewController_ && rootViewController_->viewIfLoaded()) {
        rootViewController_->viewIfLoaded()->setParent(nullptr);
    }
}

void Window::setRootViewController(std::shared_ptr<ViewController> controller) {
    if (controller == rootViewController_) return;
    auto previous = std::move(rootViewController_);
    rootViewController_ = std::move(controller);
    if (previous && previous->viewIfLoaded()) previous->viewIfLoaded()->removeFromSuperview();
    releaseLater(std::move(previous));
    if (rootViewController_) {
        View* view = rootViewController_->view();
        view->setFrame(bounds());
        rootContainer_->addSubview(view);
        view->layoutIfNeeded();
    }
    updateStatusBar();
}

void Window::makeKeyAndVisible() {
    keyWindowPointer() = this;
    show();
    raise();
    activateWindow();
    updateApplicationState();
}

Window* Window::keyWindow() {
    return keyWindowPointer();
}

std::shared_ptr<ViewController> Window::topViewController() const {
    auto top = rootViewController_;
    while (top && top->presentedViewController()) top = top->presentedViewController();
    return top;
}

bool Window::makeFirstResponder(View* responder) {
    View* current = firstResponder_;
    if (current == responder) return true;
    if (responder && (!responder->canBecomeFirstResponder() || responder->window() != this)) return false;
    if (current) {
        if (!current->canResignFirstResponder()) return false;
        firstResponder_ = nullptr;
        current->didResignFirstResponder();
    }
    firstResponder_ = responder;
    if (responder) responder->didBecomeFirstResponder();
    if (wantsKeyboard(firstResponder_)) {
        keyboard_->showFor(firstResponder_);
    } else {
        scheduleKeyboardUpdate();
    }
    return true;
}

void Window::forceResignFirstResponder() {
    QPointer<View> current = firstResponder_;
    firstResponder_ = nullptr;
    if (current) current->didResignFirstResponder();
    scheduleKeyboardUpdate();
}

void Window::forgetFirstResponder() {
    firstResponder_ = nullptr;
    scheduleKeyboardUpdate();
}

void Window::reloadKeyboard() {
    // A responder that gave up the views that brought the keyboard up takes it down.
    if (wantsKeyboard(firstResponder_)) {
        keyboard_->showFor(firstResponder_);
    } else {
        keyboard_->hide();
    }
}

// Hiding waits a turn of the event loop, so that focus moving from one field to the next keeps the
// keyboard up.
void Window::scheduleKeyboardUpdate() {
    if (keyboardUpdatePosted_) return;
    keyboardUpdatePosted_ = true;
    QPointer<Window> self(this);
    MainQueue::async([self] {
        if (!self) return;
        self->keyboardUpdatePosted_ = false;
        if (!wantsKeyboard(self->firstResponder_)) self->keyboard_->hide();
    });
}

StatusBarStyle Window::statusBarStyle() const {
    auto top = topViewController();
    if (!top) return StatusBarStyle::Default;
    const ViewController* controller = top.get();
    while (const ViewController* child = controller->childViewControllerForStatusBarStyle())
        controller = child;
    return controller->preferredStatusBarStyle();
}

void Window::updateStatusBar() {
    if (statusBar_) statusBar_->update();
}

ApplicationState Window::applicationStateFor(bool visible, bool minimized, bool active) {
    if (!visible || minimized) return ApplicationState::Background;
    return active ? ApplicationState::Active : ApplicationState::Inactive;
}

void Window::updateApplicationState() {
    if (!isKeyWindow() || !application_) return;
    application_->setApplicationState(applicationStateFor(isVisible(), isMinimized(), isActiveWindow()));
}

void Window::layoutSubviews() {
    const QRectF area = bounds();
    rootContainer_->setFrame(area);
    presentationContainer_->setFrame(area);
    statusBar_->setFrame(QRectF(0, 0, area.width(), StatusBarHeight));
    statusBar_->raise();
    if (rootViewController_ && rootViewController_->viewIfLoaded()) {
        rootViewController_->viewIfLoaded()->setFrame(area);
    }
    keyboard_->windowDidResize();
}

void Window::setWindowShown(bool shown) {
    if (shown == shown_) return;
    shown_ = shown;
    std::vector<std::shared_ptr<ViewController>> controllers;
    for (auto controller = rootViewController_; controller;
         controller = controller->presentedViewController()) {
        controllers.push_back(controller);
    }
    for (auto& controller : controllers) controller->beginAppearanceTransition(shown, false);
    for (auto& controller : controllers) controller->endAppearanceTransition();
}

bool Window::event(QEvent* event) {
    const bool handled = View::event(event);
    switch (event->type()) {
        case QEvent::Show:
            if (!event->spontaneous()) setWindowShown(true);
            updateApplicationState();
            break;
        case QEvent::Hide:
            if (!event->spontaneous()) setWindowShown(false);
            updateApplicationState();
            break;
        case QEvent::WindowActivate:
        case QEvent::WindowDeactivate:
        case QEvent::ActivationChange:
        case QEvent::WindowStateChange:
            updateApplicationState();
            break;
        default:
            break;
    }
    return handled;
}

}  // namespace tovrin::ui
