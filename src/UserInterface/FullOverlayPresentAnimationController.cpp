#include "UserInterface/FullOverlayPresentAnimationController.h"

#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/controllers/ViewController.h"

namespace tovrin {

void FullOverlayPresentAnimationController::animateTransition(
    const std::shared_ptr<ui::TransitionContext>& context) {
    ui::View* container = context->containerView();
    ui::View* presented = context->toViewController()->view();
    const QRectF bounds = container->bounds();
    ui::ViewAnimation::performWithoutAnimation([&] {
        presented->setFrame(bounds);
        container->addSubview(presented);
        presented->setTransform(ui::Transform::translation(0, bounds.bottom()));
    });
    ui::AnimationOptions options;
    options.duration = transitionDuration(context.get());
    options.springDamping = double(0.9f);
    options.initialSpringVelocity = 0;
    QPointer<ui::View> moving(presented);
    ui::ViewAnimation::animate(
        options,
        [moving] {
            if (moving) moving->setTransform(ui::Transform::identity());
        },
        [context](bool) { context->completeTransition(true); });
}

}  // namespace tovrin
