#include <gtest/gtest.h>

#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/controllers/BarButtonItem.h"
#include "platform/ui/controllers/NavigationBar.h"
#include "platform/ui/controllers/NavigationController.h"
#include "platform/ui/controllers/NavigationItem.h"
#include "platform/ui/controllers/PageViewController.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/text/Label.h"
#include "platform/ui/views/Window.h"
#include "support/TestSupport.h"
#include "support/UITestSupport.h"

namespace tovrin::ui {
namespace {

std::shared_ptr<ViewController> screen(const QString& title) {
    auto controller = std::make_shared<ViewController>();
    controller->setTitle(title);
    return controller;
}

class NavigationTest : public testing::Test {
protected:
    ImmediateAnimations immediate;
    Window window{nullptr};
};

TEST_F(NavigationTest, TheBarShowsTheTopTitleItsButtonsAndABackButtonThatPops) {
    auto navigation = std::make_shared<NavigationController>(screen(QStringLiteral("Cascade")));
    window.setRootViewController(navigation);
    window.show();
    auto settings = screen(QStringLiteral("Settings"));
    int saves = 0;
    settings->navigationItem().setRightBarButtonItem(std::make_shared<BarButtonItem>(
        QStringLiteral("Save"), BarButtonItem::Style::Done, [&] { ++saves; }));
    navigation->pushViewController(settings, true);
    test::drainAnimations();
    NavigationBar* bar = navigation->navigationBar();
    EXPECT_EQ(bar->titleLabel()->text(), QStringLiteral("Settings"));
    ASSERT_EQ(bar->buttons().size(), 2u);
    test::tap(bar->buttons()[1]);
    EXPECT_EQ(saves, 1);
    auto* back = test::find<Button>(bar, QStringLiteral("Back"));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->currentTitle(), QStringLiteral("‹ Cascade"));
    test::tap(back);
    test::drainAnimations();
    EXPECT_EQ(navigation->viewControllers().size(), 1u);
    EXPECT_EQ(bar->titleLabel()->text(), QStringLiteral("Cascade"));
}

TEST_F(NavigationTest, ReplacingTheStackKeepsOnlyTheNewScreens) {
    auto navigation = std::make_shared<NavigationController>(screen(QStringLiteral("Sign In")));
    window.setRootViewController(navigation);
    window.show();
    navigation->pushViewController(screen(QStringLiteral("Join")), false);
    std::weak_ptr<ViewController> join = navigation->topViewController();
    auto tabs = screen(QStringLiteral("Tabs"));
    navigation->setViewControllers({tabs});
    EXPECT_EQ(navigation->viewControllers(), NavigationController::Stack{tabs});
    // The replaced screen goes at the main queue's next turn.
    test::drainMainQueue();
    EXPECT_TRUE(join.expired());
    EXPECT_EQ(tabs->appearance(), ViewController::Appearance::Appeared);
    EXPECT_EQ(navigation->popToRootViewControllerAnimated(true).size(), 0u);
}

TEST_F(NavigationTest, AnOpaqueBarPutsTheScreensBelowItAndAHiddenBarGivesThemTheWholeView) {
    auto root = screen(QStringLiteral("Root"));
    auto navigation = std::make_shared<NavigationController>(root);
    navigation->navigationBar()->setTranslucent(false);
    window.setRootViewController(navigation);
    window.show();
    navigation->viewIfLoaded()->layoutIfNeeded();
    EXPECT_EQ(root->view()->frame(), QRectF(0, 64, 375, 667 - 64));
    navigation->setNavigationBarHidden(true, true);
    test::drainAnimations();
    EXPECT_EQ(root->view()->frame(), QRectF(0, 0, 375, 667));
    EXPECT_LT(navigation->navigationBar()->frame().bottom(), 1);
}

TEST_F(NavigationTest, ASecondPushDuringAnAnimatedOneCompletesTheFirst) {
    ViewAnimation::setImmediate(false);
    auto navigation = std::make_shared<NavigationController>(screen(QStringLiteral("A")));
    window.setRootViewController(navigation);
    window.show();
    auto b = screen(QStringLiteral("B"));
    auto c = screen(QStringLiteral("C"));
    navigation->pushViewController(b, true);
    navigation->pushViewController(c, true);
    EXPECT_EQ(b->appearance(), ViewController::Appearance::Disappearing);
    test::drainAnimations();
    ViewAnimation::setImmediate(true);
    EXPECT_EQ(b->appearance(), ViewController::Appearance::Disappeared);
    EXPECT_EQ(c->appearance(), ViewController::Appearance::Appeared);
    EXPECT_EQ(navigation->viewControllers().size(), 3u);
}

// Pages are numbered; the source gives the neighbours between 0 and 2.
class NumberedPages : public PageViewControllerDataSource, public PageViewControllerDelegate {
public:
    std::map<ViewController*, int> numbers;
    std::vector<bool> completions;

    std::shared_ptr<ViewController> page(int number) {
        auto controller = std::make_shared<ViewController>();
        numbers[controller.get()] = number;
        return controller;
    }
    std::shared_ptr<ViewController> viewControllerBefore(PageViewController&,
                                                         ViewController& controller) override {
        const int number = numbers[&controller];
        return number > 0 ? page(number - 1) : nullptr;
    }
    std::shared_ptr<ViewController> viewControllerAfter(PageViewController&,
                                                        ViewController& controller) override {
        const int number = numbers[&controller];
        return number < 2 ? page(number + 1) : nullptr;
    }
    void didFinishAnimating(PageViewController&, bool, const std::vector<std::shared_ptr<ViewController>>&,
                            bool completed) override {
        completions.push_back(completed);
    }
};

TEST_F(NavigationTest, PagesSwipeOnlyWithADataSourceAndStopAtTheEnds) {
    auto pages = std::make_shared<NumberedPages>();
    auto pager = std::make_shared<PageViewController>(PageViewController::NavigationOrientation::Vertical, 1);
    pager->setDelegate(pages);
    pager->setViewControllers({pages->page(0)}, PageViewController::NavigationDirection::Forward, false);
    window.setRootViewController(pager);
    window.show();
    auto current = [&] { return pages->numbers[pager->viewControllers().front().get()]; };

    test::swipe(pager->view(), test::Direction::Up);
    test::drainAnimations();
    EXPECT_EQ(current(), 0);  // no data source, no swiping

    pager->setDataSource(pages);
    test::drag(pager->view(), QPointF(100, 500), QPointF(100, 100));
    test::drainAnimations();
    EXPECT_EQ(current(), 1);
    EXPECT_EQ(pages->completions, std::vector<bool>{true});
    EXPECT_EQ(pager->viewControllers().front()->appearance(), ViewController::Appearance::Appeared);

    // A short, slow drag goes back to where it was.
    test::drag(pager->view(), QPointF(100, 300), QPointF(100, 250), 30);
    test::drainAnimations();
    EXPECT_EQ(current(), 1);
    EXPECT_EQ(pages->completions.back(), false);

    test::drag(pager->view(), QPointF(100, 100), QPointF(100, 500));
    test::drainAnimations();
    EXPECT_EQ(current(), 0);
    const size_t finished = pages->completions.size();
    test::drag(pager->view(), QPointF(100, 100), QPointF(100, 500));
    test::drainAnimations();
    EXPECT_EQ(current(), 0);
    EXPECT_EQ(pages->completions.size(), finished);  // nothing before the first page
}

}  // namespace
}  // namespace tovrin::ui
