#include "UserInterface/AnimationDelegateImpl.h"

#include "platform/ui/animation/ViewAnimation.h"

namespace tovrin {

void AnimationDelegateImpl::animateWithDuration(double duration, std::function<void()> animations,
                                                std::function<void(bool finished)> completion) {
    ui::ViewAnimation::animate(duration, animations, std::move(completion));
}

void AnimationDelegateImpl::performWithoutAnimation(std::function<void()> block) {
    ui::ViewAnimation::performWithoutAnimation(block);
}

}  // namespace tovrin
