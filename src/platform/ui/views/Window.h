#pragma once

#include <memory>

#include "platform/system/Application.h"
#include "platform/ui/controllers/ViewController.h"
#include "platform/ui/views/View.h"

namespace tovrin {
class NotificationCenter;
}

namespace tovrin::ui {

class Keyboard;

// The phone-sized top-level widget (the main screen's bounds, 375 × 667 points). It holds the root
// view controller, the views of presented controllers above it, the emulated keyboard and the
// status bar. Its state drives the application's: minimised or hidden is background, shown but not
// focused is inactive, focused is active.
class Window : public View {
    Q_OBJECT
public:
    explicit Window(std::shared_ptr<Application> application = Application::shared(),
                    std::shared_ptr<NotificationCenter> notificationCenter = nullptr);
    ~Window() override;

    const std::shared_ptr<ViewController>& rootViewController() const { return rootViewController_; }
    void setRootViewController(std::shared_ptr<ViewController> controller);
    // Shows the window and makes it the one whose state the application follows.
    void makeKeyAndVisible();
    static Window* keyWindow();
    bool isKeyWindow() const { return keyWindow() == this; }

    View* presentationContainer() const { return presentationContainer_; }
    // The top of the presentation stack, or the root.
    std::shared_ptr<ViewController> topViewController() const;

    View* firstResponder() const { return firstResponder_; }
    // Moves the first responder; false when the current one refuses to resign.
    bool makeFirstResponder(View* responder);
    void forceResignFirstResponder();
    // The first responder is going away; no callbacks to it.
    void forgetFirstResponder();
    Keyboard& keyboard() const { return *keyboard_; }
    void reloadKeyboard();

    StatusBarStyle statusBarStyle() const;
    void updateStatusBar();
    static constexpr double StatusBarHeight = 20;

    const std::shared_ptr<NotificationCenter>& notificationCenter() const { return notificationCenter_; }
    static ApplicationState applicationStateFor(bool visible, bool minimized, bool active);

protected:
    void layoutSubviews() override;
    bool event(QEvent* event) override;

private:
    void updateApplicationState();
    void scheduleKeyboardUpdate();
    void setWindowShown(bool shown);

    std::shared_ptr<Application> application_;
    std::shared_ptr<NotificationCenter> notificationCenter_;
    std::shared_ptr<ViewController> rootViewController_;
    QPointer<View> rootContainer_;
    QPointer<View> presentationContainer_;
    QPointer<View> statusBar_;
    QPointer<View> firstResponder_;
    std::unique_ptr<Keyboard> keyboard_;
    bool keyboardUpdatePosted_ = false;
    bool shown_ = false;
};

}  // namespace tovrin::ui
