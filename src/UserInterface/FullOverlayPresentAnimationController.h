#pragma once

#include "platform/ui/controllers/ViewControllerTransitioning.h"

namespace tovrin {

// Slides the presented screen up from just below its container to fill it: 0.5 s, a spring with
// damping 0.9 and no initial velocity. The transition completes even when the animation is cut short.
class FullOverlayPresentAnimationController : public ui::AnimatedTransitioning {
public:
    double transitionDuration(const ui::TransitionContext* context) const override { return 0.5; }
    void animateTransition(const std::shared_ptr<ui::TransitionContext>& context) override;
};

}  // namespace tovrin
