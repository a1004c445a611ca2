#pragma once

#include <memory>
#include <vector>

#include "platform/ui/controllers/ViewController.h"

namespace tovrin::ui {

class NavigationBar;
class NavigationController;

class NavigationControllerDelegate {
public:
    virtual ~NavigationControllerDelegate() = default;
    virtual void willShowViewController(NavigationController& navigationController,
                                        ViewController& controller, bool animated) {}
    virtual void didShowViewController(NavigationController& navigationController, ViewController& controller,
                                       bool animated) {}
};

// A stack of screens under a navigation bar. Pushing and popping slide the screens sideways when
// animated; a new operation while one is running first completes that one. The stack changes at
// once; the appearance calls follow the animation.
class NavigationController : public ViewController {
public:
    using Stack = std::vector<std::shared_ptr<ViewController>>;
    static constexpr double TransitionDuration = 0.35;

    NavigationController();
    explicit NavigationController(const std::shared_ptr<ViewController>& rootViewController);
    ~NavigationController() override;

    const Stack& viewControllers() const { return stack_; }
    void setViewControllers(const Stack& controllers, bool animated = false);
    void pushViewController(const std::shared_ptr<ViewController>& controller, bool animated);
    std::shared_ptr<ViewController> popViewControllerAnimated(bool animated);
    Stack popToViewController(const std::shared_ptr<ViewController>& controller, bool animated);
    Stack popToRootViewControllerAnimated(bool animated);
    std::shared_ptr<ViewController> topViewController() const {
        return stack_.empty() ? nullptr : stack_.back();
    }
    // The top screen, or what it presents.
    std::shared_ptr<ViewController> visibleViewController() const;

    NavigationBar* navigationBar();
    bool isNavigationBarHidden() const { return barHidden_; }
    void setNavigationBarHidden(bool hidden, bool animated);

    std::shared_ptr<NavigationControllerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<NavigationControllerDelegate> delegate) {
        delegate_ = std::move(delegate);
    }

    bool shouldAutomaticallyForwardAppearanceMethods() const override { return false; }
    // The area screens are shown in, in the navigation controller's view.
    QRectF contentFrame() const;

protected:
    void loadView() override;
    std::vector<std::shared_ptr<ViewController>> appearanceChildren() const override;
    // Lays out the bar and the top screen; called by the controller's view.
    virtual void layoutNavigation();

private:
    class ContainerView;
    enum class Direction { None, Forward, Backward };

    void transition(const std::shared_ptr<ViewController>& from, const std::shared_ptr<ViewController>& to,
                    Direction direction, bool animated, const Stack& removed, const Stack& added);
    void completeRunningTransition();
    void updateBar();
    bool isShown() const;

    Stack stack_;
    NavigationBar* bar_ = nullptr;
    bool barHidden_ = false;
    std::weak_ptr<NavigationControllerDelegate> delegate_;
    std::function<void()> finishTransition_;
    int transitionGeneration_ = 0;
};

}  // namespace tovrin::ui
