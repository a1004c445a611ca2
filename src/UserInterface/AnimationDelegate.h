#pragma once

#include <functional>

namespace tovrin {

// The view animations screens run, behind an interface so that tests can control them.
class AnimationDelegate {
public:
    virtual ~AnimationDelegate() = default;
    virtual void animateWithDuration(double duration, std::function<void()> animations,
                                     std::function<void(bool finished)> completion) = 0;
    virtual void performWithoutAnimation(std::function<void()> block) = 0;
};

}  // namespace tovrin
