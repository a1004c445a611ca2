#include "platform/ui/animation/ViewAnimation.h"

#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QVariantAnimation>
#include <cmath>
#include <vector>

#include "platform/ui/views/View.h"

namespace tovrin::ui {
namespace {

struct Track {
    QPointer<QObject> target;
    int property;
    std::function<void(double)> step;
};

struct Group {
    AnimationOptions options;
    std::vector<Track> tracks;
    ViewAnimation::Completion completion;
    QPointer<QVariantAnimation> driver;
    bool hasGuard = false;
    QPointer<QObject> guard;
    bool finished = true;
    bool ended = false;
};

std::vector<std::shared_ptr<Group>>& running() {
    static std::vector<std::shared_ptr<Group>> groups;
    return groups;
}

// The blocks being captured; null entries switch capturing off (performWithoutAnimation).
std::vector<std::shared_ptr<Group>>& capturing() {
    static std::vector<std::shared_ptr<Group>> stack;
    return stack;
}

bool immediateMode = false;

void step(Group& group, double progress) {
    if (group.hasGuard && !group.guard) return;
    for (auto& track : group.tracks) {
        if (track.target) track.step(progress);
    }
}

void end(const std::shared_ptr<Group>& group, bool finished) {
    if (group->ended) return;
    group->ended = true;
    if (group->driver) {
        group->driver->disconnect();
        group->driver->stop();
        group->driver->deleteLater();
    }
    auto& groups = running();
    std::erase(groups, group);
    if (group->completion) {
        auto completion = std::move(group->completion);
        const bool result = finished && group->finished;
        MainQueue::async([completion, result] { completion(result); });
    }
}

void complete(const std::shared_ptr<Group>& group) {
    step(*group, 1);
    end(group, true);
}

void start(const std::shared_ptr<Group>& group) {
    const double total = group->options.delay + group->options.duration;
    if (immediateMode || total <= 0 || (group->tracks.empty() && !group->hasGuard)) {
        complete(group);
        return;
    }
    running().push_back(group);
    auto* driver = new QVariantAnimation();
    group->driver = driver;
    driver->setStartValue(0.0);
    driver->setEndValue(total);
    driver->setDuration(int(std::lround(total * 1000)));
    std::weak_ptr<Group> weak = group;
    QObject::connect(driver, &QVariantAnimation::valueChanged, driver, [weak](const QVariant& value) {
        auto group = weak.lock();
        if (!group) return;
        if (group->hasGuard && !group->guard) {
            end(group, false);
            return;
        }
        const double t = (value.toDouble() - group->options.delay) / group->options.duration;
        if (t >= 0) step(*group, ViewAnimation::ease(group->options, std::min(t, 1.0)));
    });
    QObject::connect(driver, &QVariantAnimation::finished, driver, [weak] {
        if (auto group = weak.lock()) complete(group);
    });
    driver->start();
}

double spring(double damping, double velocity, double t) {
    // A unit step response settling (to 0.1%) at t = 1.
    const double zeta = std::max(0.05, damping);
    const double omega = std::log(1000.0) / std::min(zeta, 1.0);
    if (zeta < 1) {
        const double omegaD = omega * std::sqrt(1 - zeta * zeta);
        const double a = (zeta * omega - velocity) / omegaD;
        return 1 - std::exp(-zeta * omega * t) * (std::cos(omegaD * t) + a * std::sin(omegaD * t));
    }
    return 1 - std::exp(-omega * t) * (1 + (omega - velocity) * t);
}

}  // namespace

void ViewAnimation::animate(double duration, const Block& animations, Completion completion) {
    AnimationOptions options;
    options.duration = duration;
    animate(options, animations, std::move(completion));
}

void ViewAnimation::animate(const AnimationOptions& options, const Block& animations, Completion completion) {
    if (!areAnimationsEnabled()) {
        // Inside performWithoutAnimation an animation block takes effect at once.
        if (animations) animations();
        if (completion) MainQueue::async([completion] { completion(true); });
        return;
    }
    auto group = std::make_shared<Group>();
    group->options = options;
    group->completion = std::move(completion);
    capturing().push_back(group);
    if (animations) animations();
    capturing().pop_back();
    start(group);
}

void ViewAnimation::performWithoutAnimation(const Block& block) {
    capturing().push_back(nullptr);
    if (block) block();
    capturing().pop_back();
}

void ViewAnimation::transition(View* view, double duration, const Block& animations, Completion completion) {
    QWidget* parent = view ? view->parentWidget() : nullptr;
    if (!parent || immediateMode || !view->isVisible()) {
        performWithoutAnimation(animations);
        animate(0, {}, std::move(completion));
        return;
    }
    // The old look fades out over the new one.
    auto* snapshot = new QLabel(parent);
    snapshot->setPixmap(view->grab());
    snapshot->setGeometry(view->geometry());
    snapshot->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* effect = new QGraphicsOpacityEffect(snapshot);
    snapshot->setGraphicsEffect(effect);
    snapshot->show();
    performWithoutAnimation(animations);
    AnimationOptions options;
    options.duration = duration;
    QPointer<QLabel> guard(snapshot);
    run(
        options, snapshot, [effect](double progress) { effect->setOpacity(1 - progress); },
        [guard, completion = std::move(completion)](bool finished) {
            if (guard) guard->deleteLater();
            if (completion) completion(finished);
        });
}

void ViewAnimation::run(const AnimationOptions& options, QObject* guard, std::function<void(double)> stepper,
                        Completion completion) {
    auto group = std::make_shared<Group>();
    group->options = options;
    group->completion = std::move(completion);
    group->hasGuard = true;
    group->guard = guard;
    group->tracks.push_back({guard, -1, std::move(stepper)});
    start(group);
}

void ViewAnimation::setImmediate(bool immediate) {
    immediateMode = immediate;
    if (immediate) finishAll();
}

bool ViewAnimation::isImmediate() {
    return immediateMode;
}

void ViewAnimation::finishAll() {
    // Completing one may start others (from completions run later, never here); take a copy.
    const auto groups = running();
    for (const auto& group : groups) complete(group);
}

int ViewAnimation::runningCount() {
    return int(running().size());
}

bool ViewAnimation::isCapturing() {
    return !capturing().empty() && capturing().back();
}

bool ViewAnimation::areAnimationsEnabled() {
    return capturing().empty() || capturing().back();
}

void ViewAnimation::addTrack(QObject* target, int property, std::function<void(double)> stepper) {
    cancelTrack(target, property);
    auto& tracks = capturing().back()->tracks;
    std::erase_if(tracks,
                  [&](const Track& track) { return track.target == target && track.property == property; });
    tracks.push_back({target, property, std::move(stepper)});
}

void ViewAnimation::cancelTrack(QObject* target, int property) {
    const auto groups = running();
    for (const auto& group : groups) {
        const auto removed = std::erase_if(group->tracks, [&](const Track& track) {
            return track.target == target && track.property == property;
        });
        if (removed == 0) continue;
        group->finished = false;
        if (group->tracks.empty()) end(group, false);
    }
}

double ViewAnimation::ease(const AnimationOptions& options, double t) {
    if (options.springDamping) return spring(*options.springDamping, options.initialSpringVelocity, t);
    switch (options.curve) {
        case AnimationCurve::Linear:
            return t;
        case AnimationCurve::EaseIn:
            return t * t;
        case AnimationCurve::EaseOut:
            return 1 - (1 - t) * (1 - t);
        case AnimationCurve::EaseInOut:
            break;
    }
    return t < 0.5 ? 2 * t * t : 1 - 2 * (1 - t) * (1 - t);
}

}  // namespace tovrin::ui
