#include <gtest/gtest.h>

#include "UserInterface/AnimationDelegateImpl.h"
#include "UserInterface/FullOverlayDismissAnimationController.h"
#include "UserInterface/FullOverlayPresentAnimationController.h"
#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/views/Window.h"
#include "support/TestSupport.h"
#include "support/UITestSupport.h"

namespace tovrin {
namespace {

// Presents with the full-overlay transitions.
class Overlays : public ui::TransitioningDelegate {
public:
    std::shared_ptr<ui::AnimatedTransitioning> animationControllerForPresented(
        const std::shared_ptr<ui::ViewController>&, const std::shared_ptr<ui::ViewController>&) override {
        return std::make_shared<FullOverlayPresentAnimationController>();
    }
    std::shared_ptr<ui::AnimatedTransitioning> animationControllerForDismissed(
        const std::shared_ptr<ui::ViewController>&) override {
        return std::make_shared<FullOverlayDismissAnimationController>();
    }
};

class TransitionsTest : public testing::Test {
protected:
    ui::Window window{nullptr};
    std::shared_ptr<ui::ViewController> root = std::make_shared<ui::ViewController>();
    std::shared_ptr<Overlays> overlays = std::make_shared<Overlays>();
    void SetUp() override {
        window.setRootViewController(root);
        window.show();
    }
};

TEST_F(TransitionsTest, TheOverlaySlidesUpFromBelowAndBackDownIn05Seconds) {
    EXPECT_DOUBLE_EQ(FullOverlayPresentAnimationController().transitionDuration(nullptr), 0.5);
    EXPECT_DOUBLE_EQ(FullOverlayDismissAnimationController().transitionDuration(nullptr), 0.5);
    auto overlay = std::make_shared<ui::ViewController>();
    overlay->setModalPresentationStyle(ui::ModalPresentationStyle::Custom);
    overlay->setTransitioningDelegate(overlays);
    bool presented = false;
    root->presentViewController(overlay, true, [&] { presented = true; });
    ui::View* view = overlay->view();
    EXPECT_EQ(view->frame(), QRectF(0, 0, 375, 667));
    EXPECT_EQ(view->presentationFrame(), QRectF(0, 667, 375, 667));
    EXPECT_EQ(view->transform(), ui::Transform::identity());
    test::drainAnimations();
    EXPECT_TRUE(presented);
    EXPECT_EQ(view->presentationFrame(), QRectF(0, 0, 375, 667));

    bool dismissed = false;
    overlay->dismissViewController(true, [&] { dismissed = true; });
    EXPECT_EQ(view->transform(), ui::Transform::translation(0, 667));
    test::drainAnimations();
    EXPECT_TRUE(dismissed);
    EXPECT_EQ(root->presentedViewController(), nullptr);
}

TEST_F(TransitionsTest, AnInterruptedSlideStillCompletesTheTransition) {
    auto overlay = std::make_shared<ui::ViewController>();
    overlay->setModalPresentationStyle(ui::ModalPresentationStyle::Custom);
    overlay->setTransitioningDelegate(overlays);
    bool presented = false;
    root->presentViewController(overlay, true, [&] { presented = true; });
    overlay->view()->setTransform(ui::Transform::identity());  // a newer change cuts the slide short
    ASSERT_TRUE(test::runUntil([&] { return presented; }));
    EXPECT_EQ(overlay->appearance(), ui::ViewController::Appearance::Appeared);
}

TEST_F(TransitionsTest, TheAnimationDelegateRunsViewAnimationsAndCanSkipThem) {
    AnimationDelegateImpl animations;
    auto* view = new ui::View();
    window.addSubview(view);
    std::optional<bool> finished;
    animations.animateWithDuration(
        0.3, [&] { view->setAlpha(0); }, [&](bool done) { finished = done; });
    EXPECT_EQ(ui::ViewAnimation::runningCount(), 1);
    test::drainAnimations();
    EXPECT_EQ(finished, std::optional<bool>(true));
    animations.performWithoutAnimation(
        [&] { animations.animateWithDuration(0.3, [&] { view->setAlpha(1); }, {}); });
    EXPECT_EQ(ui::ViewAnimation::runningCount(), 0);
    EXPECT_EQ(view->presentationFrame(), QRectF());
    EXPECT_DOUBLE_EQ(view->alpha(), 1);
}

}  // namespace
}  // namespace tovrin
