#include "UserInterface/SwipeableImageViewController.h"

#include "UserInterface/ImageViewController.h"
#include "platform/di/Injector.h"
#include "platform/foundation/Error.h"
#include "platform/foundation/Localization.h"
#include "platform/ui/controllers/NavigationController.h"
#include "platform/ui/controllers/NavigationItem.h"

namespace tovrin {

SwipeableImageViewController::SwipeableImageViewController() = default;

SwipeableImageViewController::~SwipeableImageViewController() = default;

void SwipeableImageViewController::setupWithImages(std::vector<ui::Image> images, std::size_t startingIndex) {
    TVR_ASSERT(!images.empty(), "The image pager needs at least one image");
    TVR_ASSERT(startingIndex < images.size(), "The image pager's starting index lies outside its images");
    images_ = std::move(images);
    startingIndex_ = startingIndex;
}

void SwipeableImageViewController::loadView() {
    auto* root = new ui::View();
    root->setBackgroundColor(Qt::black);
    setView(root);
    embedPageViewController();
}

void SwipeableImageViewController::embedPageViewController() {
    pageViewController_ = std::make_shared<ui::PageViewController>();
    addChildViewController(pageViewController_);
    view()->addSubview(pageViewController_->view());
    pageViewController_->didMoveToParentViewController(this);
    pageViewController_->setViewControllers({imageViewControllerAtIndex(startingIndex_)},
                                            ui::PageViewController::NavigationDirection::Forward, false);
    pageViewController_->setDataSource(weakSelf<SwipeableImageViewController>());
    pageViewController_->setDelegate(weakSelf<SwipeableImageViewController>());
}

void SwipeableImageViewController::viewDidLoad() {
    ViewController::viewDidLoad();
    auto back = std::make_shared<ui::BarButtonItem>(ui::Image::named(QStringLiteral("back")),
                                                    ui::BarButtonItem::Style::Plain,
                                                    [weak = weakSelf<SwipeableImageViewController>()] {
                                                        if (auto self = weak.lock()) self->didTapBackButton();
                                                    });
    back->setAccessibilityIdentifier(QStringLiteral("Back"));
    back->setAccessibilityLabel(localizedString("Back"));
    navigationItem().setLeftBarButtonItem(back);
    updateNavigationTitleWithIndex(startingIndex_);
}

void SwipeableImageViewController::viewDidLayoutSubviews() {
    ViewController::viewDidLayoutSubviews();
    pageViewController_->view()->setFrame(view()->bounds());
}

void SwipeableImageViewController::didTapBackButton() {
    if (auto navigation = navigationController()) navigation->popViewControllerAnimated(true);
}

std::shared_ptr<ImageViewController> SwipeableImageViewController::imageViewControllerAtIndex(
    std::size_t index) {
    TVR_ASSERT(index < images_.size(), "No image at the page's index");
    TVR_ASSERT(injector_, "The image pager makes its pages through the container that made it");
    auto page = injector_->get<ImageViewController>();
    page->setImage(images_[index]);
    page->setItemIndex(index);
    return page;
}

void SwipeableImageViewController::updateNavigationTitleWithIndex(std::size_t index) {
    navigationItem().setTitle(QStringLiteral("%1 of %2").arg(index + 1).arg(images_.size()));
}

std::shared_ptr<ui::ViewController> SwipeableImageViewController::viewControllerBefore(
    ui::PageViewController&, ui::ViewController& controller) {
    auto* page = dynamic_cast<ImageViewController*>(&controller);
    if (!page || page->itemIndex() == 0) return nullptr;
    return imageViewControllerAtIndex(page->itemIndex() - 1);
}

std::shared_ptr<ui::ViewController> SwipeableImageViewController::viewControllerAfter(
    ui::PageViewController&, ui::ViewController& controller) {
    auto* page = dynamic_cast<ImageViewController*>(&controller);
    if (!page || page->itemIndex() + 1 >= images_.size()) return nullptr;
    return imageViewControllerAtIndex(page->itemIndex() + 1);
}

void SwipeableImageViewController::didFinishAnimating(ui::PageViewController& pageViewController, bool,
                                                      const std::vector<std::shared_ptr<ui::ViewController>>&,
                                                      bool transitionCompleted) {
    if (!transitionCompleted) return;
    const auto shown = pageViewController.viewControllers();
    auto* page = shown.empty() ? nullptr : dynamic_cast<ImageViewController*>(shown.front().get());
    if (page) updateNavigationTitleWithIndex(page->itemIndex());
}

}  // namespace tovrin
