#include "platform/ui/controllers/PageViewController.h"

#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/input/PanGestureRecognizer.h"

namespace tovrin::ui {

PageViewController::PageViewController(NavigationOrientation orientation, double interPageSpacing)
    : orientation_(orientation), spacing_(interPageSpacing) {}

void PageViewController::loadView() {
    auto* container = new View();
    setView(container);
    auto owner = [weak = weakSelf<PageViewController>()] { return weak.lock(); };
    pan_ = std::make_shared<PanGestureRecognizer>([owner](GestureRecognizer&) {
        if (auto self = owner()) self->handlePan();
    });
    pan_->setBeginCondition([owner](const QPointF& translation) {
        auto self = owner();
        if (!self || self->animating_ || !self->current_ || !self->dataSource()) return false;
        const bool horizontal = self->orientation_ == NavigationOrientation::Horizontal;
        const double along = horizontal ? translation.x() : translation.y();
        const double across = horizontal ? translation.y() : translation.x();
        if (std::abs(along) <= std::abs(across)) return false;
        return self->beginSwipe(along < 0);
    });
    container->addGestureRecognizer(pan_);
    if (current_) install(current_, 0);
}

std::vector<std::shared_ptr<ViewController>> PageViewController::viewControllers() const {
    if (!current_) return {};
    return {current_};
}

std::vector<std::shared_ptr<ViewController>> PageViewController::appearanceChildren() const {
    return viewControllers();
}

bool PageViewController::isShown() const {
    return appearance() == Appearance::Appeared || appearance() == Appearance::Appearing;
}

double PageViewController::extent() const {
    const QSizeF size = viewIfLoaded() ? viewIfLoaded()->bounds().size() : QSizeF();
    return (orientation_ == NavigationOrientation::Horizontal ? size.width() : size.height()) + spacing_;
}

QRectF PageViewController::pageFrame(double offset) const {
    const QRectF area(QPointF(0, 0), viewIfLoaded()->bounds().size());
    return orientation_ == NavigationOrientation::Horizontal ? area.translated(offset, 0)
                                                             : area.translated(0, offset);
}

void PageViewController::install(const std::shared_ptr<ViewController>& controller, double offset) {
    if (controller->parentViewController().get() != this) addChildViewController(controller);
    View* page = controller->view();
    ViewAnimation::performWithoutAnimation([&] { page->setFrame(pageFrame(offset)); });
    if (page->superview() != viewIfLoaded()) viewIfLoaded()->addSubview(page);
}

void PageViewController::setViewControllers(const std::vector<std::shared_ptr<ViewController>>& controllers,
                                            NavigationDirection direction, bool animated,
                                            std::function<void(bool)> completion) {
    auto next = controllers.empty() ? nullptr : controllers.front();
    auto previous = current_;
    if (next == previous) {
        if (completion) MainQueue::async([completion] { completion(true); });
        return;
    }
    current_ = next;
    if (!isViewLoaded()) {
        releaseLater(previous);
        if (completion) MainQueue::async([completion] { completion(true); });
        return;
    }
    const bool shown = isShown();
    const double sign = direction == NavigationDirection::Forward ? 1 : -1;
    if (next) install(next, animated && previous ? sign * extent() : 0);
    if (shown) {
        if (previous) previous->beginAppearanceTransition(false, animated);
        if (next) next->beginAppearanceTransition(true, animated);
    }
    if (next) next->didMoveToParentViewController(this);
    auto self = sharedSelf<PageViewController>();
    auto finish = [self, previous, next, shown, completion](bool finished) {
        if (previous && previous != self->current_) {
            previous->willMoveToParentViewController(nullptr);
            if (previous->viewIfLoaded()) previous->viewIfLoaded()->removeFromSuperview();
            previous->removeFromParentViewController();
        }
        if (shown) {
            if (previous) previous->endAppearanceTransition();
            if (next) next->endAppearanceTransition();
        }
        self->animating_ = false;
        if (completion) completion(finished);
    };
    if (!animated || !previous || !next) {
        finish(true);
        return;
    }
    animating_ = true;
    QPointer<View> incoming = next->view();
    QPointer<View> outgoing = previous->viewIfLoaded();
    const QRectF settled = pageFrame(0);
    const QRectF gone = pageFrame(-sign * extent());
    ViewAnimation::animate(
        TransitionDuration,
        [incoming, outgoing, settled, gone] {
            if (incoming) incoming->setFrame(settled);
            if (outgoing) outgoing->setFrame(gone);
        },
        finish);
}

bool PageViewController::beginSwipe(bool forward) {
    auto source = dataSource();
    auto neighbour = forward ? source->viewControllerAfter(*this, *current_)
                             : source->viewControllerBefore(*this, *current_);
    if (!neighbour) return false;
    pending_ = neighbour;
    pendingForward_ = forward;
    install(pending_, forward ? extent() : -extent());
    if (auto delegate = this->delegate()) delegate->willTransitionTo(*this, {pending_});
    if (isShown()) {
        current_->beginAppearanceTransition(false, true);
        pending_->beginAppearanceTransition(true, true);
    }
    return true;
}

void PageViewController::handlePan() {
    if (!pending_ || !current_) return;
    const QPointF translation = pan_->translationInView(viewIfLoaded());
    const double along =
        orientation_ == NavigationOrientation::Horizontal ? translation.x() : translation.y();
    const double sign = pendingForward_ ? 1 : -1;
    // The pages follow the finger, never past the page being swiped to.
    const double offset =
        pendingForward_ ? std::clamp(along, -extent(), 0.0) : std::clamp(along, 0.0, extent());
    switch (pan_->state()) {
        case GestureRecognizer::State::Changed:
        case GestureRecognizer::State::Began:
            ViewAnimation::performWithoutAnimation([&] {
                current_->view()->setFrame(pageFrame(offset));
                pending_->view()->setFrame(pageFrame(offset + sign * extent()));
            });
            break;
        case GestureRecognizer::State::Ended:
        case GestureRecognizer::State::Cancelled: {
            const QPointF velocity = pan_->velocityInView(viewIfLoaded());
            const double speed =
                orientation_ == NavigationOrientation::Horizontal ? velocity.x() : velocity.y();
            const bool completes = pan_->state() == GestureRecognizer::State::Ended &&
                                   (std::abs(offset) > extent() / 2 || -sign * speed > 300);
            finishSwipe(completes);
            break;
        }
        default:
            break;
    }
}

void PageViewController::finishSwipe(bool completed) {
    animating_ = true;
    const double sign = pendingForward_ ? 1 : -1;
    QPointer<View> currentView = current_->view();
    QPointer<View> pendingView = pending_->view();
    const QRectF currentTarget = pageFrame(completed ? -sign * extent() : 0);
    const QRectF pendingTarget = pageFrame(completed ? 0 : sign * extent());
    auto self = sharedSelf<PageViewController>();
    auto previous = current_;
    auto pending = pending_;
    const bool shown = isShown();
    if (shown && !completed) {
        pending->beginAppearanceTransition(false, true);
        previous->beginAppearanceTransition(true, true);
    }
    ViewAnimation::animate(
        TransitionDuration,
        [currentView, pendingView, currentTarget, pendingTarget] {
            if (currentView) currentView->setFrame(currentTarget);
            if (pendingView) pendingView->setFrame(pendingTarget);
        },
        [self, previous, pending, completed, shown](bool finished) {
            auto gone = completed ? previous : pending;
            if (completed) self->current_ = pending;
            self->pending_.reset();
            self->animating_ = false;
            gone->willMoveToParentViewController(nullptr);
            if (gone->viewIfLoaded()) gone->viewIfLoaded()->removeFromSuperview();
            gone->removeFromParentViewController();
            if (completed) pending->didMoveToParentViewController(self.get());
            if (shown) {
                previous->endAppearanceTransition();
                pending->endAppearanceTransition();
            }
            if (auto delegate = self->delegate())
                delegate->didFinishAnimating(*self, finished, {previous}, completed);
        });
}

void PageViewController::viewDidLayoutSubviews() {
    if (animating_ || pending_ || !current_ || !current_->viewIfLoaded()) return;
    current_->viewIfLoaded()->setFrame(pageFrame(0));
}

}  // namespace tovrin::ui
