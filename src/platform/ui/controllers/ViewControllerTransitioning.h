#pragma once

#include <QRectF>
#include <functional>
#include <memory>

namespace tovrin::ui {

class View;
class ViewController;

// What a custom presentation or dismissal animator works with.
class TransitionContext {
public:
    TransitionContext(View* containerView, std::shared_ptr<ViewController> from,
                      std::shared_ptr<ViewController> to, bool animated,
                      std::function<void(bool)> completion);

    View* containerView() const { return containerView_; }
    const std::shared_ptr<ViewController>& fromViewController() const { return from_; }
    const std::shared_ptr<ViewController>& toViewController() const { return to_; }
    bool isAnimated() const { return animated_; }
    QRectF finalFrameForViewController(const ViewController* controller) const;
    // The animator reports the end of its animation; later reports are ignored.
    void completeTransition(bool didComplete);
    bool isComplete() const { return !completion_; }

private:
    View* containerView_;
    std::shared_ptr<ViewController> from_;
    std::shared_ptr<ViewController> to_;
    bool animated_;
    std::function<void(bool)> completion_;
};

class AnimatedTransitioning {
public:
    virtual ~AnimatedTransitioning() = default;
    virtual double transitionDuration(const TransitionContext* context) const = 0;
    virtual void animateTransition(const std::shared_ptr<TransitionContext>& context) = 0;
};

// Supplies the animators of a presented view controller's presentation and dismissal.
class TransitioningDelegate {
public:
    virtual ~TransitioningDelegate() = default;
    virtual std::shared_ptr<AnimatedTransitioning> animationControllerForPresented(
        const std::shared_ptr<ViewController>& presented, const std::shared_ptr<ViewController>& presenting) {
        return nullptr;
    }
    virtual std::shared_ptr<AnimatedTransitioning> animationControllerForDismissed(
        const std::shared_ptr<ViewController>& dismissed) {
        return nullptr;
    }
};

}  // namespace tovrin::ui
