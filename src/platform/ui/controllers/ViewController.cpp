#include "platform/ui/controllers/ViewController.h"

#include <QDebug>

#include "platform/foundation/Error.h"
#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/controllers/NavigationController.h"
#include "platform/ui/controllers/NavigationItem.h"
#include "platform/ui/controllers/ViewControllerTransitioning.h"
#include "platform/ui/views/Window.h"

namespace tovrin::ui {
namespace {

constexpr double PresentationDuration = 0.35;

void collectControllers(QWidget* widget, std::vector<std::shared_ptr<ViewController>>& found) {
    if (auto* view = qobject_cast<View*>(widget); view && view->viewController()) {
        ViewController* controller = view->viewController();
        auto parent = controller->parentViewController();
        const bool forwarded = parent ? parent->shouldAutomaticallyForwardAppearanceMethods()
                                      : !controller->presentingViewController();
        if (forwarded) found.push_back(controller->shared_from_this());
        return;  // a controller forwards to its own children
    }
    for (QObject* child : widget->children()) {
        if (auto* childWidget = qobject_cast<QWidget*>(child)) collectControllers(childWidget, found);
    }
}

}  // namespace

TransitionContext::TransitionContext(View* containerView, std::shared_ptr<ViewController> from,
                                     std::shared_ptr<ViewController> to, bool animated,
                                     std::function<void(bool)> completion)
    : containerView_(containerView),
      from_(std::move(from)),
      to_(std::move(to)),
      animated_(animated),
      completion_(std::move(completion)) {}

QRectF TransitionContext::finalFrameForViewController(const ViewController*) const {
    return containerView_ ? containerView_->bounds() : QRectF();
}

void TransitionContext::completeTransition(bool didComplete) {
    if (!completion_) return;
    auto completion = std::move(completion_);
    completion_ = nullptr;
    completion(didComplete);
}

ViewController::ViewController() = default;

ViewController::~ViewController() {
    for (auto& child : children_) child->parent_.reset();
    if (view_) {
        view_->viewController_ = nullptr;
        delete view_.data();
    }
}

View* ViewController::view() {
    if (!view_) {
        TVR_ASSERT(!loadingView_, "A view controller asked for its view while loading it");
        loadingView_ = true;
        loadView();
        loadingView_ = false;
        if (!view_) setView(new View());
        viewDidLoad();
    }
    return view_;
}

void ViewController::loadView() {
    setView(new View());
}

void ViewController::setView(View* view) {
    if (view_ == view) return;
    if (view_) {
        view_->viewController_ = nullptr;
        delete view_.data();
    }
    view_ = view;
    if (view) view->viewController_ = this;
}

void ViewController::setTitle(const QString& title) {
    title_ = title;
    navigationItem().setTitle(title);
}

NavigationItem& ViewController::navigationItem() {
    if (!navigationItem_) {
        navigationItem_ = std::make_unique<NavigationItem>();
        navigationItem_->setTitle(title_);
    }
    return *navigationItem_;
}

void ViewController::addChildViewController(const std::shared_ptr<ViewController>& child) {
    if (!child || child.get() == this) return;
    if (auto previous = child->parentViewController(); previous && previous.get() != this) {
        child->removeFromParentViewController();
    }
    if (child->parent_.lock().get() == this) return;
    child->willMoveToParentViewController(this);
    child->parent_ = weak_from_this();
    children_.push_back(child);
}

void ViewController::removeFromParentViewController() {
    auto parent = parent_.lock();
    if (!parent) return;
    auto self = shared_from_this();
    std::erase(parent->children_, self);
    parent_.reset();
    didMoveToParentViewController(nullptr);
    releaseLater(self);
}

void ViewController::willMoveToParentViewController(ViewController* parent) {
    if (parent) {
        movingToParent_ = true;
    } else {
        movingFromParent_ = true;
    }
}

void ViewController::didMoveToParentViewController(ViewController* parent) {
    if (parent) {
        movingToParent_ = false;
    } else {
        movingFromParent_ = false;
    }
}

std::shared_ptr<NavigationController> ViewController::navigationController() const {
    for (auto parent = parent_.lock(); parent; parent = parent->parent_.lock()) {
        if (auto navigation = std::dynamic_pointer_cast<NavigationController>(parent)) return navigation;
    }
    return nullptr;
}

std::vector<std::shared_ptr<ViewController>> ViewController::appearanceChildren() const {
    std::vector<std::shared_ptr<ViewController>> forwarded;
    if (!shouldAutomaticallyForwardAppearanceMethods() || !view_) return forwarded;
    for (const auto& child : children_) {
        if (child->isViewLoaded() && child->view_->isDescendantOf(view_)) forwarded.push_back(child);
    }
    return forwarded;
}

void ViewController::beginAppearanceTransition(bool appearing, bool animated) {
    auto self = shared_from_this();
    if (appearing) {
        if (appearance_ == Appearance::Appeared || appearance_ == Appearance::Appearing) return;
        view();
        appearanceAnimated_ = animated;
        appearance_ = Appearance::Appearing;
        viewWillAppear(animated);
    } else {
        if (appearance_ == Appearance::Disappeared || appearance_ == Appearance::Disappearing) return;
        appearanceAnimated_ = animated;
        appearance_ = Appearance::Disappearing;
        viewWillDisappear(animated);
    }
    for (auto& child : appearanceChildren()) child->beginAppearanceTransition(appearing, animated);
}

void ViewController::endAppearanceTransition() {
    auto self = shared_from_this();
    if (appearance_ == Appearance::Appearing) {
        appearance_ = Appearance::Appeared;
        viewDidAppear(appearanceAnimated_);
    } else if (appearance_ == Appearance::Disappearing) {
        appearance_ = Appearance::Disappeared;
        viewDidDisappear(appearanceAnimated_);
    } else {
        return;
    }
    for (auto& child : appearanceChildren()) child->endAppearanceTransition();
}

std::vector<std::shared_ptr<ViewController>> ViewController::automaticallyForwardedControllers(
    QWidget* subtree) {
    std::vector<std::shared_ptr<ViewController>> found;
    if (subtree) collectControllers(subtree, found);
    return found;
}

std::shared_ptr<ViewController> ViewController::presentationHost() {
    auto host = shared_from_this();
    while (auto parent = host->parentViewController()) host = parent;
    while (host->presented_) host = host->presented_;
    return host;
}

void ViewController::presentViewController(const std::shared_ptr<ViewController>& controller, bool animated,
                                           Block completion) {
    if (!controller || controller->presentingViewController() || controller->parentViewController()) {
        qWarning() << "A view controller that is already shown cannot be presented";
        return;
    }
    auto host = presentationHost();
    Window* window = host->isViewLoaded() ? host->view_->window() : nullptr;
    if (!window) {
        qWarning() << "A view controller whose view is not in a window cannot present";
        return;
    }
    host->presented_ = controller;
    controller->presenting_ = host;
    controller->beingPresented_ = true;
    const bool fullScreen = controller->presentationStyle_ == ModalPresentationStyle::FullScreen;
    View* container = window->presentationContainer();
    View* presentedView = controller->view();
    presentedView->setFrame(container->bounds());
    if (fullScreen) host->beginAppearanceTransition(false, animated);
    controller->beginAppearanceTransition(true, animated);
    container->addSubview(presentedView);
    presentedView->layoutIfNeeded();
    window->setNeedsLayout();

    auto finish = [controller, host, fullScreen, completion = std::move(completion)](bool) mutable {
        controller->finishPresentation(host, fullScreen, std::move(completion));
    };
    auto delegate = controller->transitioningDelegate();
    auto animator = delegate ? delegate->animationControllerForPresented(controller, host) : nullptr;
    if (animator) {
        auto context = std::make_shared<TransitionContext>(container, host, controller, animated, finish);
        animator->animateTransition(context);
    } else if (animated) {
        const QRectF final = container->bounds();
        presentedView->setFrame(final.translated(0, final.height()));
        AnimationOptions options;
        options.duration = PresentationDuration;
        options.curve = AnimationCurve::EaseOut;
        QPointer<View> moving(presentedView);
        ViewAnimation::animate(
            options,
            [moving, final] {
                if (moving) moving->setFrame(final);
            },
            finish);
    } else {
        finish(true);
    }
}

void ViewController::finishPresentation(const std::shared_ptr<ViewController>& presenter, bool fullScreen,
                                        Block completion) {
    auto self = shared_from_this();
    beingPresented_ = false;
    endAppearanceTransition();
    if (fullScreen) presenter->endAppearanceTransition();
    setNeedsStatusBarAppearanceUpdate();
    if (completion) MainQueue::async(std::move(completion));
}

void ViewController::dismissViewController(bool animated, Block completion) {
    if (presented_) {
        dismissPresented(animated, std::move(completion));
    } else if (auto presenter = presentingViewController()) {
        presenter->dismissPresented(animated, std::move(completion));
    } else if (auto parent = parentViewController()) {
        parent->dismissViewController(animated, std::move(completion));
    }
}

void ViewController::dismissPresented(bool animated, Block completion) {
    auto self = shared_from_this();
    auto dismissed = presented_;
    // Everything presented above the dismissed controller goes at once, without animation.
    std::vector<std::shared_ptr<ViewController>> above;
    for (auto controller = dismissed->presented_; controller; controller = controller->presented_) {
        above.push_back(controller);
    }
    for (auto it = above.rbegin(); it != above.rend(); ++it) {
        auto& controller = *it;
        controller->beginAppearanceTransition(false, false);
        if (controller->view_) controller->view_->removeFromSuperview();
        controller->endAppearanceTransition();
        if (auto presenter = controller->presenting_.lock()) presenter->presented_.reset();
        controller->presenting_.reset();
        releaseLater(controller);
    }
    if (dismissed->beingDismissed_) return;
    dismissed->beingDismissed_ = true;
    const bool fullScreen = dismissed->presentationStyle_ == ModalPresentationStyle::FullScreen;
    dismissed->beginAppearanceTransition(false, animated);
    if (fullScreen) beginAppearanceTransition(true, animated);

    auto finish = [self, dismissed, fullScreen, completion = std::move(completion)](bool) {
        if (dismissed->view_) dismissed->view_->removeFromSuperview();
        dismissed->beingDismissed_ = false;
        dismissed->endAppearanceTransition();
        if (fullScreen) self->endAppearanceTransition();
        if (self->presented_ == dismissed) self->presented_.reset();
        dismissed->presenting_.reset();
        releaseLater(dismissed);
        self->setNeedsStatusBarAppearanceUpdate();
        if (completion) MainQueue::async(completion);
    };
    Window* window = view_ ? view_->window() : nullptr;
    auto delegate = dismissed->transitioningDelegate();
    auto animator = delegate ? delegate->animationControllerForDismissed(dismissed) : nullptr;
    if (animator && window) {
        auto context = std::make_shared<TransitionContext>(window->presentationContainer(), dismissed, self,
                                                           animated, finish);
        animator->animateTransition(context);
    } else if (animated && dismissed->view_) {
        QPointer<View> moving(dismissed->view_);
        const QRectF gone = moving->frame().translated(0, moving->frame().height());
        AnimationOptions options;
        options.duration = PresentationDuration;
        options.curve = AnimationCurve::EaseIn;
        ViewAnimation::animate(
            options,
            [moving, gone] {
                if (moving) moving->setFrame(gone);
            },
            finish);
    } else {
        finish(true);
    }
}

void ViewController::setNeedsStatusBarAppearanceUpdate() {
    if (auto* window = view_ ? view_->window() : nullptr) window->updateStatusBar();
}

bool ViewController::performAction(const QString& name) {
    auto found = actions_.find(name);
    if (found == actions_.end()) return false;
    auto self = shared_from_this();
    Block action = found->second;
    action();
    return true;
}

void ViewController::setAssociatedObject(const QString& key, std::any value) {
    if (value.has_value()) {
        associatedObjects_[key] = std::move(value);
    } else {
        associatedObjects_.erase(key);
    }
}

const std::any* ViewController::associatedObject(const QString& key) const {
    auto found = associatedObjects_.find(key);
    return found == associatedObjects_.end() ? nullptr : &found->second;
}

Responder* ViewController::nextResponder() const {
    if (view_ && view_->superview()) return view_->superview();
    if (auto parent = parent_.lock()) return parent.get();
    return presenting_.lock().get();
}

void releaseLater(std::shared_ptr<ViewController> controller) {
    if (!controller) return;
    // Qt's deferred deletion rather than a queued block: it waits for the event loop that was
    // running (never inside a loop nested in the action) and is flushed when the application's
    // loop ends, so no controller is left to be freed while the application object goes.
    struct Holder : QObject {
        explicit Holder(std::shared_ptr<ViewController> held) : held_(std::move(held)) {}
        std::shared_ptr<ViewController> held_;
    };
    (new Holder(std::move(controller)))->deleteLater();
}

}  // namespace tovrin::ui
