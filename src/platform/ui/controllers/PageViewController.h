#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/ui/controllers/ViewController.h"

namespace tovrin::ui {

class PageViewController;
class PanGestureRecognizer;

class PageViewControllerDataSource {
public:
    virtual ~PageViewControllerDataSource() = default;
    virtual std::shared_ptr<ViewController> viewControllerBefore(PageViewController& pageViewController,
                                                                 ViewController& controller) = 0;
    virtual std::shared_ptr<ViewController> viewControllerAfter(PageViewController& pageViewController,
                                                                ViewController& controller) = 0;
};

class PageViewControllerDelegate {
public:
    virtual ~PageViewControllerDelegate() = default;
    virtual void willTransitionTo(
        PageViewController& pageViewController,
        const std::vector<std::shared_ptr<ViewController>>& pendingViewControllers) {}
    virtual void didFinishAnimating(
        PageViewController& pageViewController, bool finished,
        const std::vector<std::shared_ptr<ViewController>>& previousViewControllers,
        bool transitionCompleted) {}
};

// One page at a time, swiped sideways or up and down to the page the data source gives before or
// after it. Without a data source the pages cannot be swiped.
class PageViewController : public ViewController {
public:
    enum class NavigationOrientation { Horizontal, Vertical };
    enum class NavigationDirection { Forward, Reverse };
    static constexpr double TransitionDuration = 0.3;

    explicit PageViewController(NavigationOrientation orientation = NavigationOrientation::Horizontal,
                                double interPageSpacing = 0);

    NavigationOrientation navigationOrientation() const { return orientation_; }
    std::vector<std::shared_ptr<ViewController>> viewControllers() const;
    void setViewControllers(const std::vector<std::shared_ptr<ViewController>>& controllers,
                            NavigationDirection direction, bool animated,
                            std::function<void(bool)> completion = {});

    std::shared_ptr<PageViewControllerDataSource> dataSource() const { return dataSource_.lock(); }
    void setDataSource(std::weak_ptr<PageViewControllerDataSource> dataSource) {
        dataSource_ = std::move(dataSource);
    }
    std::shared_ptr<PageViewControllerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<PageViewControllerDelegate> delegate) { delegate_ = std::move(delegate); }

    bool shouldAutomaticallyForwardAppearanceMethods() const override { return false; }

protected:
    void loadView() override;
    void viewDidLayoutSubviews() override;
    std::vector<std::shared_ptr<ViewController>> appearanceChildren() const override;

private:
    bool isShown() const;
    double extent() const;
    QRectF pageFrame(double offset) const;
    void handlePan();
    bool beginSwipe(bool forward);
    void finishSwipe(bool completed);
    void install(const std::shared_ptr<ViewController>& controller, double offset);

    NavigationOrientation orientation_;
    double spacing_;
    std::shared_ptr<ViewController> current_;
    std::shared_ptr<ViewController> pending_;
    bool pendingForward_ = true;
    bool animating_ = false;
    std::shared_ptr<PanGestureRecognizer> pan_;
    std::weak_ptr<PageViewControllerDataSource> dataSource_;
    std::weak_ptr<PageViewControllerDelegate> delegate_;
};

}  // namespace tovrin::ui
