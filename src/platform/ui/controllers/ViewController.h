#pragma once

#include <QPointer>
#include <QString>
#include <any>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/foundation/MainQueue.h"
#include "platform/foundation/SharedSelf.h"
#include "platform/ui/views/Responder.h"
#include "platform/ui/views/View.h"

namespace tovrin::ui {

class NavigationController;
class NavigationItem;
class TransitioningDelegate;

enum class ModalPresentationStyle {
    FullScreen,      // the presenter disappears underneath
    OverFullScreen,  // the presenter stays on screen (alerts, sheets)
    Custom,          // a transitioning delegate animates it; the presenter stays on screen
};

enum class StatusBarStyle { Default, LightContent };

// A screen: a plain object (held by shared_ptr) that owns a root view, made on first use by
// `loadView()`. The appearance calls come in order (will, then did) when the view enters or leaves a
// shown window: through the window, a navigation controller, a presentation or a container that
// adds a child's view. Containers that drive their children themselves (navigation, page)
// switch the automatic forwarding off. A controller that the toolkit takes out of the hierarchy
// lives until the event loop's next turn (`releaseLater`), so its own actions may capture `this`.
class ViewController : public Responder, public EnableSharedSelf<ViewController> {
public:
    enum class Appearance { Disappeared, Appearing, Appeared, Disappearing };

    ViewController();
    ~ViewController() override;
    ViewController(const ViewController&) = delete;
    ViewController& operator=(const ViewController&) = delete;

    View* view();
    View* viewIfLoaded() const { return view_; }
    bool isViewLoaded() const { return !view_.isNull(); }
    // Takes ownership of the view.
    void setView(View* view);

    const QString& title() const { return title_; }
    void setTitle(const QString& title);
    NavigationItem& navigationItem();

    // Containment. Adding calls `willMoveToParentViewController(parent)`; removing calls
    // `didMoveToParentViewController(nullptr)`. The other two calls are the container's.
    void addChildViewController(const std::shared_ptr<ViewController>& child);
    void removeFromParentViewController();
    const std::vector<std::shared_ptr<ViewController>>& childViewControllers() const { return children_; }
    std::shared_ptr<ViewController> parentViewController() const { return parent_.lock(); }
    std::shared_ptr<NavigationController> navigationController() const;
    virtual void willMoveToParentViewController(ViewController* parent);
    virtual void didMoveToParentViewController(ViewController* parent);

    // Appearance.
    Appearance appearance() const { return appearance_; }
    virtual bool shouldAutomaticallyForwardAppearanceMethods() const { return true; }
    void beginAppearanceTransition(bool appearing, bool animated);
    void endAppearanceTransition();
    bool isBeingPresented() const { return beingPresented_; }
    bool isBeingDismissed() const { return beingDismissed_; }
    bool isMovingToParentViewController() const { return movingToParent_; }
    bool isMovingFromParentViewController() const { return movingFromParent_; }
    void setMovingToParentViewController(bool moving) { movingToParent_ = moving; }
    void setMovingFromParentViewController(bool moving) { movingFromParent_ = moving; }

    // Modal presentation inside the window. A controller presents on top of whatever its root-most
    // ancestor already presents. Completions run later, on the main queue.
    void presentViewController(const std::shared_ptr<ViewController>& controller, bool animated,
                               Block completion = {});
    void dismissViewController(bool animated, Block completion = {});
    std::shared_ptr<ViewController> presentedViewController() const { return presented_; }
    std::shared_ptr<ViewController> presentingViewController() const { return presenting_.lock(); }
    ModalPresentationStyle modalPresentationStyle() const { return presentationStyle_; }
    void setModalPresentationStyle(ModalPresentationStyle style) { presentationStyle_ = style; }
    std::shared_ptr<TransitioningDelegate> transitioningDelegate() const {
        return transitioningDelegate_.lock();
    }
    void setTransitioningDelegate(std::weak_ptr<TransitioningDelegate> delegate) {
        transitioningDelegate_ = std::move(delegate);
    }

    virtual StatusBarStyle preferredStatusBarStyle() const { return StatusBarStyle::Default; }
    virtual ViewController* childViewControllerForStatusBarStyle() const { return nullptr; }
    void setNeedsStatusBarAppearanceUpdate();

    // The platform lets containers inset the scroll views of screens under their bars.
    bool automaticallyAdjustsScrollViewInsets() const { return adjustsScrollViewInsets_; }
    void setAutomaticallyAdjustsScrollViewInsets(bool adjusts) { adjustsScrollViewInsets_ = adjusts; }

    // Named actions that unwinding looks for ("blockUserUnwind").
    void registerAction(const QString& name, Block action) { actions_[name] = std::move(action); }
    bool respondsToAction(const QString& name) const { return actions_.contains(name); }
    bool performAction(const QString& name);

    // Values other code keeps on the controller under a key.
    void setAssociatedObject(const QString& key, std::any value);
    const std::any* associatedObject(const QString& key) const;

    Responder* nextResponder() const override;

    // The controllers whose appearance follows a subtree entering or leaving a shown window.
    static std::vector<std::shared_ptr<ViewController>> automaticallyForwardedControllers(QWidget* subtree);

protected:
    virtual void loadView();
    virtual void viewDidLoad() {}
    virtual void viewWillAppear(bool animated) {}
    virtual void viewDidAppear(bool animated) {}
    virtual void viewWillDisappear(bool animated) {}
    virtual void viewDidDisappear(bool animated) {}
    // The children that follow this controller's appearance.
    virtual std::vector<std::shared_ptr<ViewController>> appearanceChildren() const;

public:
    virtual void viewWillLayoutSubviews() {}
    virtual void viewDidLayoutSubviews() {}

private:
    friend class Window;
    void finishPresentation(const std::shared_ptr<ViewController>& presenter, bool fullScreen,
                            Block completion);
    void dismissPresented(bool animated, Block completion);
    std::shared_ptr<ViewController> presentationHost();

    QPointer<View> view_;
    bool loadingView_ = false;
    QString title_;
    std::unique_ptr<NavigationItem> navigationItem_;
    std::vector<std::shared_ptr<ViewController>> children_;
    std::weak_ptr<ViewController> parent_;
    Appearance appearance_ = Appearance::Disappeared;
    bool appearanceAnimated_ = false;
    bool beingPresented_ = false;
    bool beingDismissed_ = false;
    bool movingToParent_ = false;
    bool movingFromParent_ = false;
    bool adjustsScrollViewInsets_ = true;
    std::shared_ptr<ViewController> presented_;
    std::weak_ptr<ViewController> presenting_;
    ModalPresentationStyle presentationStyle_ = ModalPresentationStyle::FullScreen;
    std::weak_ptr<TransitioningDelegate> transitioningDelegate_;
    std::map<QString, Block> actions_;
    std::map<QString, std::any> associatedObjects_;
};

// Keeps a controller that the toolkit has just taken out (popped, dismissed, replaced, removed
// from its parent) until the event loop's next turn, so that a screen removed by its own action
// outlives that action, as the phone toolkit guarantees.
void releaseLater(std::shared_ptr<ViewController> controller);

}  // namespace tovrin::ui
