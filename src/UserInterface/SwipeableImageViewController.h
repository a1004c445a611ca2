#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "platform/ui/controllers/PageViewController.h"
#include "platform/ui/views/Image.h"

namespace tovrin {

class Injector;
class ImageViewController;

// The photo pager: pushed with a list of photos and the first one to show, swiped from photo to
// photo, titled with the shown photo's place in the list ("3 of 7"). The container gives it
// itself, and it makes each page through it.
class SwipeableImageViewController : public ui::ViewController,
                                     public ui::PageViewControllerDataSource,
                                     public ui::PageViewControllerDelegate {
public:
    SwipeableImageViewController();
    ~SwipeableImageViewController() override;

    // Once, before the pager is shown. The list is not empty and the index lies inside it.
    void setupWithImages(std::vector<ui::Image> images, std::size_t startingIndex);
    const std::vector<ui::Image>& images() const { return images_; }
    std::size_t startingIndex() const { return startingIndex_; }

    // The container outlives every screen it made, so it is not kept alive from here.
    void setInjector(Injector* injector) { injector_ = injector; }
    Injector* injector() const { return injector_; }

    // Made with the view.
    const std::shared_ptr<ui::PageViewController>& pageViewController() const { return pageViewController_; }

    void didTapBackButton();
    // A new page from the container, every time.
    std::shared_ptr<ImageViewController> imageViewControllerAtIndex(std::size_t index);
    void updateNavigationTitleWithIndex(std::size_t index);

    std::shared_ptr<ui::ViewController> viewControllerBefore(ui::PageViewController& pageViewController,
                                                             ui::ViewController& controller) override;
    std::shared_ptr<ui::ViewController> viewControllerAfter(ui::PageViewController& pageViewController,
                                                            ui::ViewController& controller) override;
    void didFinishAnimating(ui::PageViewController& pageViewController, bool finished,
                            const std::vector<std::shared_ptr<ui::ViewController>>& previousViewControllers,
                            bool transitionCompleted) override;
    void viewDidLayoutSubviews() override;

protected:
    void loadView() override;
    void viewDidLoad() override;

private:
    void embedPageViewController();

    std::vector<ui::Image> images_;
    std::size_t startingIndex_ = 0;
    std::shared_ptr<ui::PageViewController> pageViewController_;
    Injector* injector_ = nullptr;
};

}  // namespace tovrin
