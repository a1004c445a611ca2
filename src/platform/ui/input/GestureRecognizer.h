#pragma once

#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/foundation/SharedSelf.h"
#include "platform/ui/views/Responder.h"

namespace tovrin::ui {

class GestureRecognizer;
class View;

class GestureRecognizerDelegate {
public:
    virtual ~GestureRecognizerDelegate() = default;
    virtual bool gestureRecognizerShouldBegin(GestureRecognizer& recognizer) { return true; }
    virtual bool shouldRecognizeSimultaneously(GestureRecognizer& recognizer, GestureRecognizer& other) {
        return false;
    }
    virtual bool shouldReceiveTouch(GestureRecognizer& recognizer, const Touch& touch) { return true; }
};

// Turns the touches on its view (and the view's subviews) into a gesture. Discrete gestures go from
// possible to ended (recognized) or failed; continuous ones through began and changed to ended or
// cancelled. Targets run at each of those steps. Of the recognizers that see one touch sequence only
// one recognizes, unless a delegate allows two at once; one may wait for another to fail first.
class GestureRecognizer : public EnableSharedSelf<GestureRecognizer> {
public:
    enum class State { Possible, Began, Changed, Ended, Cancelled, Failed };
    using Action = std::function<void(GestureRecognizer&)>;

    GestureRecognizer() = default;
    explicit GestureRecognizer(Action action) { addTarget(std::move(action)); }
    virtual ~GestureRecognizer() = default;
    GestureRecognizer(const GestureRecognizer&) = delete;
    GestureRecognizer& operator=(const GestureRecognizer&) = delete;

    int addTarget(Action action);
    void removeTarget(int identifier) { targets_.erase(identifier); }
    void removeAllTargets() { targets_.clear(); }

    State state() const { return state_; }
    View* view() const;
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled);
    bool cancelsTouchesInView() const { return cancelsTouchesInView_; }
    void setCancelsTouchesInView(bool cancels) { cancelsTouchesInView_ = cancels; }
    void setDelegate(std::weak_ptr<GestureRecognizerDelegate> delegate) { delegate_ = std::move(delegate); }
    // This recognizer recognizes only after `other` failed; it fails when `other` recognizes.
    void requireGestureRecognizerToFail(const std::shared_ptr<GestureRecognizer>& other);

    // The centroid of the touches, in the view's coordinates (the window's for null).
    QPointF locationInView(const View* view) const;
    int numberOfTouches() const { return int(touches_.size()); }

    // Fed by the touch dispatcher.
    void handleTouches(const Touches& touches);
    // The touch sequence is over for this recognizer (all fingers up, or it was excluded).
    void finishSequence();
    bool isInvolved() const { return involved_; }
    bool allowsSimultaneousRecognition(GestureRecognizer& other);
    void failFromOutside();

protected:
    virtual void touchesBegan(const Touches& touches) {}
    virtual void touchesMoved(const Touches& touches) {}
    virtual void touchesEnded(const Touches& touches) {}
    virtual void touchesCancelled(const Touches& touches);
    // Back to the possible state, with any gesture data cleared.
    virtual void reset() {}
    // Discrete recognizers end in Ended at once; continuous ones use Began, Changed, Ended.
    void setState(State state);
    const std::map<int, Touch>& touches() const { return touches_; }

private:
    friend class View;
    friend class GestureArena;
    void setView(View* view);
    bool waitsForFailure() const;
    void resolveWaiting();
    void fire();
    void resetIfDone();

    std::map<int, Action> targets_;
    int nextTarget_ = 1;
    State state_ = State::Possible;
    std::optional<State> waitingState_;
    QPointer<View> view_;
    bool enabled_ = true;
    bool cancelsTouchesInView_ = true;
    bool involved_ = false;
    std::weak_ptr<GestureRecognizerDelegate> delegate_;
    std::vector<std::weak_ptr<GestureRecognizer>> mustFail_;
    std::vector<std::weak_ptr<GestureRecognizer>> waitingOnMe_;
    std::map<int, Touch> touches_;
};

// The recognizers that take part in the current touch sequences; it resolves which of them wins.
class GestureArena {
public:
    static void enter(const std::shared_ptr<GestureRecognizer>& recognizer);
    static void leave(GestureRecognizer* recognizer);
    // A recognizer began or recognized: the others that cannot run along with it fail.
    static void recognized(GestureRecognizer& winner);
    // A recognizer failed or ended: those waiting on it may go on.
    static void settled(GestureRecognizer& recognizer);
    static std::vector<std::shared_ptr<GestureRecognizer>> members();
};

}  // namespace tovrin::ui
