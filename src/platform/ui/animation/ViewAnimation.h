#pragma once

#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

#include "platform/foundation/MainQueue.h"

namespace tovrin::ui {

class View;

enum class AnimationCurve { EaseInOut, EaseIn, EaseOut, Linear };

struct AnimationOptions {
    double duration = 0.25;
    double delay = 0;
    AnimationCurve curve = AnimationCurve::EaseInOut;
    // A damped spring instead of the curve: damping ratio (1 has no overshoot) and initial velocity.
    std::optional<double> springDamping;
    double initialSpringVelocity = 0;
};

// Block animations of views. Inside `animate`, every change of a view's frame, transform or alpha
// takes effect in the model at once and on screen over the duration. The completion runs later on
// the main queue, with false when a newer change of the same property interrupted the animation.
//
// Tests switch on the immediate mode, in which every animation completes at once (its completion
// still runs later), or call `finishAll()` to complete the ones running.
class ViewAnimation {
public:
    using Completion = std::function<void(bool finished)>;

    static void animate(double duration, const Block& animations, Completion completion = {});
    static void animate(const AnimationOptions& options, const Block& animations, Completion completion = {});
    static void performWithoutAnimation(const Block& block);
    // Cross-dissolves the view from how it looks now to how it looks after `animations`.
    static void transition(View* view, double duration, const Block& animations, Completion completion = {});
    // Drives `step` with the eased progress from 0 to 1 (scroll offsets and other custom values). The
    // owner keeps it alive by `guard`; when the guard is gone the animation stops, unfinished.
    static void run(const AnimationOptions& options, QObject* guard, std::function<void(double)> step,
                    Completion completion = {});

    static void setImmediate(bool immediate);
    static bool isImmediate();
    static void finishAll();
    static int runningCount();

    // For view properties: while an animation block runs, a change becomes a track of that block.
    static bool isCapturing();
    // False inside `performWithoutAnimation`.
    static bool areAnimationsEnabled();
    static void addTrack(QObject* target, int property, std::function<void(double)> step);
    static void cancelTrack(QObject* target, int property);
    // The eased progress of `t` (0…1) for the options.
    static double ease(const AnimationOptions& options, double t);
};

// Switches the immediate mode on for a scope.
class ImmediateAnimations {
public:
    ImmediateAnimations() : previous_(ViewAnimation::isImmediate()) { ViewAnimation::setImmediate(true); }
    ~ImmediateAnimations() { ViewAnimation::setImmediate(previous_); }
    ImmediateAnimations(const ImmediateAnimations&) = delete;
    ImmediateAnimations& operator=(const ImmediateAnimations&) = delete;

private:
    bool previous_;
};

}  // namespace tovrin::ui
