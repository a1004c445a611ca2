#include "UserInterface/FullOverlayDismissAnimationController.h"

#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/controllers/ViewController.h"

namespace tovrin {

void FullOverlayDismissAnimationController::animateTransition(
    const std::shared_ptr<ui::TransitionContext>& context) {
    const QRectF bounds = context->containerView()->bounds();
    QPointer<ui::View> moving(context->fromViewController()->view());
    ui::AnimationOptions options;
    options.duration = transitionDuration(context.get());
    options.springDamping = double(0.9f);
    options.initialSpringVelocity = 0;
    ui::ViewAnimation::animate(
        options,
        [moving, bounds] {
            if (moving) moving->setTransform(ui::Transform::translation(0, bounds.bottom()));
        },
        [context](bool) { context->completeTransition(true); });
}

}  // namespace tovrin
