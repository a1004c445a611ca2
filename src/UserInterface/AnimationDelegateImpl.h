#pragma once

#include "UserInterface/AnimationDelegate.h"

namespace tovrin {

// Runs the platform's view animations: default curve, no delay. In the platform's immediate mode
// (tests) every animation completes at once.
class AnimationDelegateImpl : public AnimationDelegate {
public:
    void animateWithDuration(double duration, std::function<void()> animations,
                             std::function<void(bool finished)> completion) override;
    void performWithoutAnimation(std::function<void()> block) override;
};

}  // namespace tovrin
