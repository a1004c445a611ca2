#include "platform/ui/input/GestureRecognizer.h"

#include "platform/ui/views/View.h"

namespace tovrin::ui {
namespace {

std::vector<std::weak_ptr<GestureRecognizer>>& arena() {
    static std::vector<std::weak_ptr<GestureRecognizer>> recognizers;
    return recognizers;
}

bool isFinal(GestureRecognizer::State state) {
    using State = GestureRecognizer::State;
    return state == State::Ended || state == State::Cancelled || state == State::Failed;
}

}  // namespace

void GestureRecognizer::setView(View* view) {
    view_ = view;
}

View* GestureRecognizer::view() const {
    return view_;
}

int GestureRecognizer::addTarget(Action action) {
    const int identifier = nextTarget_++;
    targets_.emplace(identifier, std::move(action));
    return identifier;
}

void GestureRecognizer::setEnabled(bool enabled) {
    enabled_ = enabled;
    if (!enabled && involved_) {
        if (state_ == State::Began || state_ == State::Changed) setState(State::Cancelled);
        failFromOutside();
    }
}

void GestureRecognizer::requireGestureRecognizerToFail(const std::shared_ptr<GestureRecognizer>& other) {
    mustFail_.push_back(other);
    other->waitingOnMe_.push_back(weak_from_this());
}

QPointF GestureRecognizer::locationInView(const View* target) const {
    if (touches_.empty()) return {};
    QPointF sum;
    for (const auto& [identifier, touch] : touches_) sum += touch.locationInView(target);
    return sum / double(touches_.size());
}

void GestureRecognizer::handleTouches(const Touches& touches) {
    if (!enabled_ || isFinal(state_) || waitingState_) {
        // Keep the touch positions for location queries even when not interpreting them.
        for (const auto& touch : touches) touches_[touch.identifier] = touch;
        return;
    }
    Touches began, moved, ended, cancelled;
    auto delegate = delegate_.lock();
    for (const auto& touch : touches) {
        if (touch.phase == Touch::Phase::Began && delegate && !delegate->shouldReceiveTouch(*this, touch)) {
            continue;
        }
        if (touch.phase != Touch::Phase::Began && !touches_.contains(touch.identifier)) continue;
        touches_[touch.identifier] = touch;
        switch (touch.phase) {
            case Touch::Phase::Began:
                began.push_back(touch);
                break;
            case Touch::Phase::Moved:
                moved.push_back(touch);
                break;
            case Touch::Phase::Ended:
                ended.push_back(touch);
                break;
            case Touch::Phase::Cancelled:
                cancelled.push_back(touch);
                break;
        }
    }
    auto self = shared_from_this();
    if (!began.empty()) touchesBegan(began);
    if (!moved.empty()) touchesMoved(moved);
    if (!ended.empty()) touchesEnded(ended);
    if (!cancelled.empty()) touchesCancelled(cancelled);
    for (const auto& touch : touches) {
        if (touch.phase == Touch::Phase::Ended || touch.phase == Touch::Phase::Cancelled) {
            touches_.erase(touch.identifier);
        }
    }
}

void GestureRecognizer::touchesCancelled(const Touches&) {
    if (state_ == State::Began || state_ == State::Changed) {
        setState(State::Cancelled);
    } else if (state_ == State::Possible) {
        setState(State::Failed);
    }
}

void GestureRecognizer::setState(State state) {
    auto self = shared_from_this();
    const bool recognizing = state == State::Began || (state == State::Ended && state_ == State::Possible);
    if (recognizing) {
        auto delegate = delegate_.lock();
        if (state_ == State::Possible && delegate && !delegate->gestureRecognizerShouldBegin(*this)) {
            state = State::Failed;
        } else if (waitsForFailure()) {
            waitingState_ = state;
            return;
        }
    }
    state_ = state;
    if (state == State::Failed) {
        touches_.clear();
        GestureArena::settled(*this);
        return;
    }
    if (recognizing) GestureArena::recognized(*this);
    fire();
    if (isFinal(state)) GestureArena::settled(*this);
}

bool GestureRecognizer::waitsForFailure() const {
    for (const auto& weak : mustFail_) {
        auto other = weak.lock();
        if (other && other->enabled_ && other->view_ && other->state_ != State::Failed) return true;
    }
    return false;
}

void GestureRecognizer::resolveWaiting() {
    if (!waitingState_) return;
    for (const auto& weak : mustFail_) {
        auto other = weak.lock();
        if (!other || other->state_ == State::Failed || !other->enabled_) continue;
        if (other->state_ != State::Possible) {
            // The one this waited for recognized instead.
            waitingState_.reset();
            setState(State::Failed);
            return;
        }
        return;
    }
    const State state = *waitingState_;
    waitingState_.reset();
    setState(state);
    if (touches_.empty()) resetIfDone();
}

void GestureRecognizer::fire() {
    auto self = shared_from_this();
    const auto targets = targets_;
    for (const auto& [identifier, action] : targets) {
        if (action) action(*this);
    }
}

void GestureRecognizer::finishSequence() {
    touches_.clear();
    if (waitingState_) return;
    if (state_ == State::Began || state_ == State::Changed) setState(State::Cancelled);
    resetIfDone();
}

void GestureRecognizer::resetIfDone() {
    if (!isFinal(state_) || waitingState_) return;
    state_ = State::Possible;
    involved_ = false;
    reset();
    GestureArena::leave(this);
}

void GestureRecognizer::failFromOutside() {
    if (state_ == State::Possible) {
        waitingState_.reset();
        setState(State::Failed);
    }
    if (touches_.empty()) resetIfDone();
}

bool GestureRecognizer::allowsSimultaneousRecognition(GestureRecognizer& other) {
    auto mine = delegate_.lock();
    auto theirs = other.delegate_.lock();
    return (mine && mine->shouldRecognizeSimultaneously(*this, other)) ||
           (theirs && theirs->shouldRecognizeSimultaneously(other, *this));
}

void GestureArena::enter(const std::shared_ptr<GestureRecognizer>& recognizer) {
    if (recognizer->involved_) return;
    recognizer->involved_ = true;
    arena().push_back(recognizer);
}

void GestureArena::leave(GestureRecognizer* recognizer) {
    std::erase_if(arena(), [recognizer](const auto& weak) {
        auto member = weak.lock();
        return !member || member.get() == recognizer;
    });
}

void GestureArena::recognized(GestureRecognizer& winner) {
    for (auto& member : members()) {
        if (member.get() == &winner || member->state_ != GestureRecognizer::State::Possible) continue;
        if (member->waitingState_) continue;  // settled by resolveWaiting
        if (winner.allowsSimultaneousRecognition(*member)) continue;
        member->failFromOutside();
    }
    settled(winner);
}

void GestureArena::settled(GestureRecognizer& recognizer) {
    for (auto& weak : recognizer.waitingOnMe_) {
        if (auto waiting = weak.lock()) waiting->resolveWaiting();
    }
}

std::vector<std::shared_ptr<GestureRecognizer>> GestureArena::members() {
    std::vector<std::shared_ptr<GestureRecognizer>> members;
    for (const auto& weak : arena()) {
        if (auto member = weak.lock()) members.push_back(member);
    }
    return members;
}

}  // namespace tovrin::ui
