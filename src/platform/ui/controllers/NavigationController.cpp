#include "platform/ui/controllers/NavigationController.h"

#include <algorithm>

#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/controllers/NavigationBar.h"
#include "platform/ui/controllers/NavigationItem.h"
#include "platform/ui/views/Window.h"

namespace tovrin::ui {
namespace {

bool contains(const NavigationController::Stack& stack, const std::shared_ptr<ViewController>& controller) {
    return std::find(stack.begin(), stack.end(), controller) != stack.end();
}

}  // namespace

class NavigationController::ContainerView : public View {
public:
    explicit ContainerView(NavigationController* owner) : owner_(owner) {}

protected:
    void layoutSubviews() override { owner_->layoutNavigation(); }

private:
    NavigationController* owner_;
};

NavigationController::NavigationController() = default;

NavigationController::NavigationController(const std::shared_ptr<ViewController>& rootViewController) {
    if (!rootViewController) return;
    // Children need a shared owner; the first push happens once the controller has one.
    stack_.push_back(rootViewController);
}

NavigationController::~NavigationController() {
    if (bar_) bar_->setItems(nullptr, nullptr, nullptr);
}

void NavigationController::loadView() {
    auto* container = new ContainerView(this);
    container->setBackgroundColor(Qt::white);
    bar_ = new NavigationBar(container);
    setView(container);
    // A root given at construction joins as a child now that the controller is shared.
    for (auto& controller : stack_) {
        if (!controller->parentViewController()) {
            addChildViewController(controller);
            controller->didMoveToParentViewController(this);
        }
    }
    if (auto top = topViewController()) container->addSubview(top->view());
    bar_->raise();
    updateBar();
}

NavigationBar* NavigationController::navigationBar() {
    view();
    return bar_;
}

std::shared_ptr<ViewController> NavigationController::visibleViewController() const {
    auto top = topViewController();
    while (top && top->presentedViewController()) top = top->presentedViewController();
    return top;
}

bool NavigationController::isShown() const {
    return appearance() == Appearance::Appeared || appearance() == Appearance::Appearing;
}

std::vector<std::shared_ptr<ViewController>> NavigationController::appearanceChildren() const {
    auto top = topViewController();
    if (top && top->isViewLoaded() && viewIfLoaded() && top->viewIfLoaded()->isDescendantOf(viewIfLoaded())) {
        return {top};
    }
    return {};
}

void NavigationController::pushViewController(const std::shared_ptr<ViewController>& controller,
                                              bool animated) {
    if (!controller || contains(stack_, controller)) return;
    view();
    completeRunningTransition();
    auto from = topViewController();
    addChildViewController(controller);
    stack_.push_back(controller);
    transition(from, controller, Direction::Forward, animated, {}, {controller});
}

std::shared_ptr<ViewController> NavigationController::popViewControllerAnimated(bool animated) {
    if (stack_.size() <= 1) return nullptr;
    view();
    completeRunningTransition();
    auto popped = stack_.back();
    stack_.pop_back();
    popped->willMoveToParentViewController(nullptr);
    transition(popped, topViewController(), Direction::Backward, animated, {popped}, {});
    return popped;
}

NavigationController::Stack NavigationController::popToViewController(
    const std::shared_ptr<ViewController>& controller, bool animated) {
    auto found = std::find(stack_.begin(), stack_.end(), controller);
    if (found == stack_.end() || found + 1 == stack_.end()) return {};
    view();
    completeRunningTransition();
    auto from = topViewController();
    Stack popped(found + 1, stack_.end());
    stack_.erase(found + 1, stack_.end());
    for (auto& each : popped) each->willMoveToParentViewController(nullptr);
    transition(from, controller, Direction::Backward, animated, popped, {});
    return popped;
}

NavigationController::Stack NavigationController::popToRootViewControllerAnimated(bool animated) {
    if (stack_.empty()) return {};
    return popToViewController(stack_.front(), animated);
}

void NavigationController::setViewControllers(const Stack& controllers, bool animated) {
    view();
    completeRunningTransition();
    const Stack old = stack_;
    Stack removed, added;
    for (auto& controller : old) {
        if (!contains(controllers, controller)) removed.push_back(controller);
    }
    for (auto& controller : controllers) {
        if (!contains(old, controller)) added.push_back(controller);
    }
    for (auto& controller : removed) controller->willMoveToParentViewController(nullptr);
    for (auto& controller : added) addChildViewController(controller);
    stack_ = controllers;
    auto from = old.empty() ? nullptr : old.back();
    auto to = topViewController();
    const Direction direction = from == to          ? Direction::None
                                : contains(old, to) ? Direction::Backward
                                                    : Direction::Forward;
    transition(from, to, direction, animated, removed, added);
}

void NavigationController::transition(const std::shared_ptr<ViewController>& from,
                                      const std::shared_ptr<ViewController>& to, Direction direction,
                                      bool animated, const Stack& removed, const Stack& added) {
    auto self = sharedSelf<NavigationController>();
    View* container = view();
    const QRectF content = contentFrame();
    const bool changes = from != to;
    const bool shown = isShown();
    if (to && changes) {
        View* toView = to->view();
        ViewAnimation::performWithoutAnimation([&] { toView->setFrame(content); });
        if (direction == Direction::Backward && from && from->viewIfLoaded() &&
            from->viewIfLoaded()->superview() == container) {
            container->insertSubviewBelow(toView, from->viewIfLoaded());
        } else {
            container->addSubview(toView);
        }
        bar_->raise();
    }
    if (shown && changes) {
        if (from) from->beginAppearanceTransition(false, animated);
        if (to) to->beginAppearanceTransition(true, animated);
    }
    if (auto delegate = delegate_.lock(); delegate && to)
        delegate->willShowViewController(*this, *to, animated);
    updateBar();
    std::weak_ptr<NavigationController> weak = self;
    finishTransition_ = [weak, from, to, changes, shown, removed, added, animated] {
        auto self = weak.lock();
        if (!self) return;
        ViewAnimation::performWithoutAnimation([&] {
            if (from && changes && from->viewIfLoaded()) {
                from->viewIfLoaded()->removeFromSuperview();
                from->viewIfLoaded()->setFrame(self->contentFrame());
            }
            if (to && to->viewIfLoaded()) to->viewIfLoaded()->setFrame(self->contentFrame());
        });
        if (shown && changes) {
            if (from) from->endAppearanceTransition();
            if (to) to->endAppearanceTransition();
        }
        for (auto& controller : removed) controller->removeFromParentViewController();
        for (auto& controller : added) controller->didMoveToParentViewController(self.get());
        if (auto delegate = self->delegate_.lock(); delegate && to) {
            delegate->didShowViewController(*self, *to, animated);
        }
    };
    const int generation = ++transitionGeneration_;
    if (!(animated && shown && changes && from && to && direction != Direction::None)) {
        completeRunningTransition();
        return;
    }
    const double width = content.width();
    const bool forward = direction == Direction::Forward;
    View* toView = to->viewIfLoaded();
    QPointer<View> fromView = from->viewIfLoaded();
    ViewAnimation::performWithoutAnimation(
        [&] { toView->setFrame(content.translated(forward ? width : -width / 3, 0)); });
    AnimationOptions options;
    options.duration = TransitionDuration;
    QPointer<View> movingIn(toView);
    ViewAnimation::animate(
        options,
        [movingIn, fromView, content, forward, width] {
            if (movingIn) movingIn->setFrame(content);
            if (fromView) fromView->setFrame(content.translated(forward ? -width / 3 : width, 0));
        },
        [weak, generation](bool) {
            auto self = weak.lock();
            if (self && self->transitionGeneration_ == generation) self->completeRunningTransition();
        });
}

void NavigationController::completeRunningTransition() {
    if (!finishTransition_) return;
    auto finish = std::move(finishTransition_);
    finishTransition_ = nullptr;
    finish();
}

void NavigationController::updateBar() {
    if (!bar_) return;
    NavigationItem* top = stack_.empty() ? nullptr : &stack_.back()->navigationItem();
    NavigationItem* previous = stack_.size() < 2 ? nullptr : &stack_[stack_.size() - 2]->navigationItem();
    bar_->setItems(top, previous, [weak = weakSelf<NavigationController>()] {
        if (auto self = weak.lock()) {
            self->popViewControllerAnimated(true);
        }
    });
}

void NavigationController::setNavigationBarHidden(bool hidden, bool animated) {
    if (hidden == barHidden_) return;
    barHidden_ = hidden;
    if (!isViewLoaded()) return;
    if (animated) {
        ViewAnimation::animate(0.25, [this] { layoutNavigation(); });
    } else {
        layoutNavigation();
    }
}

QRectF NavigationController::contentFrame() const {
    View* container = viewIfLoaded();
    if (!container) return {};
    const QRectF area = container->bounds();
    if (barHidden_ || !bar_ || bar_->isTranslucent()) return area;
    const double top = bar_->frame().height();
    return QRectF(0, top, area.width(), std::max(0.0, area.height() - top));
}

void NavigationController::layoutNavigation() {
    View* container = viewIfLoaded();
    if (!container || !bar_) return;
    const bool atTop = !container->window() || container->convertPoint(QPointF(0, 0), nullptr).y() < 1;
    const double inset = atTop ? Window::StatusBarHeight : 0;
    const double height = inset + NavigationBar::Height;
    bar_->setTopInset(inset);
    bar_->setFrame(QRectF(0, barHidden_ ? -height : 0, container->bounds().width(), height));
    bar_->setHidden(false);
    if (finishTransition_) return;  // the running transition places the screens
    if (auto top = topViewController(); top && top->viewIfLoaded())
        top->viewIfLoaded()->setFrame(contentFrame());
}

}  // namespace tovrin::ui
