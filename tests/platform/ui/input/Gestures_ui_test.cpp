#include <gtest/gtest.h>

#include <QtTest/QTest>

#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/input/LongPressGestureRecognizer.h"
#include "platform/ui/input/PanGestureRecognizer.h"
#include "platform/ui/input/PinchGestureRecognizer.h"
#include "platform/ui/input/SwipeGestureRecognizer.h"
#include "platform/ui/input/TapGestureRecognizer.h"
#include "platform/ui/scrolling/ScrollView.h"
#include "platform/ui/views/Window.h"
#include "support/TestSupport.h"
#include "support/UITestSupport.h"

namespace tovrin::ui {
namespace {

class GestureTest : public testing::Test {
protected:
    ImmediateAnimations immediate;
    Window window{nullptr};
    View* surface = new View();

    void SetUp() override {
        surface->setFrame(QRectF(0, 100, 375, 400));
        window.addSubview(surface);
        window.show();
    }
};

TEST_F(GestureTest, ASingleTapWaitingForADoubleTapFiresOnlyWhenTheDoubleTapFails) {
    int singles = 0;
    int doubles = 0;
    auto single = std::make_shared<TapGestureRecognizer>([&](GestureRecognizer&) { ++singles; });
    auto twice = std::make_shared<TapGestureRecognizer>([&](GestureRecognizer&) { ++doubles; });
    twice->setNumberOfTapsRequired(2);
    single->requireGestureRecognizerToFail(twice);
    surface->addGestureRecognizer(twice);
    surface->addGestureRecognizer(single);

    test::doubleTap(surface);
    EXPECT_EQ(doubles, 1);
    EXPECT_EQ(singles, 0);

    test::tap(surface);
    EXPECT_EQ(singles, 0);  // still waiting for a second tap
    ASSERT_TRUE(test::runUntil([&] { return singles == 1; }));
    EXPECT_EQ(doubles, 1);
}

TEST_F(GestureTest, ALongPressBeginsAfterItsDurationAndEndsWhenLifted) {
    std::vector<GestureRecognizer::State> states;
    auto press = std::make_shared<LongPressGestureRecognizer>(
        [&](GestureRecognizer& recognizer) { states.push_back(recognizer.state()); });
    press->setMinimumPressDuration(0.05);
    surface->addGestureRecognizer(press);
    const QPoint at = surface->mapTo(&window, QPoint(50, 50));
    QWidget* target = window.childAt(at);
    QTest::mousePress(target, Qt::LeftButton, Qt::NoModifier, target->mapFrom(&window, at));
    EXPECT_TRUE(states.empty());
    ASSERT_TRUE(test::runUntil([&] { return !states.empty(); }));
    EXPECT_EQ(states.front(), GestureRecognizer::State::Began);
    QTest::mouseRelease(target, Qt::LeftButton, Qt::NoModifier, target->mapFrom(&window, at));
    EXPECT_EQ(states.back(), GestureRecognizer::State::Ended);
}

TEST_F(GestureTest, TwoTouchesMovingApartPinch) {
    double scale = 0;
    auto pinch = std::make_shared<PinchGestureRecognizer>([&](GestureRecognizer& recognizer) {
        scale = static_cast<PinchGestureRecognizer&>(recognizer).scale();
    });
    surface->addGestureRecognizer(pinch);
    std::unique_ptr<QPointingDevice> touchScreen(QTest::createTouchDevice());
    QPointingDevice* device = touchScreen.get();
    const QPoint a = surface->mapTo(&window, QPoint(150, 200));
    const QPoint b = surface->mapTo(&window, QPoint(200, 200));
    QTest::touchEvent(&window, device).press(0, a).press(1, b);
    QTest::touchEvent(&window, device).move(0, a - QPoint(25, 0)).move(1, b + QPoint(25, 0));
    QTest::touchEvent(&window, device).release(0, a - QPoint(25, 0)).release(1, b + QPoint(25, 0));
    EXPECT_DOUBLE_EQ(scale, 2.0);
}

TEST_F(GestureTest, APanReportsItsTranslationAndEnds) {
    std::vector<GestureRecognizer::State> states;
    QPointF translation;
    auto pan = std::make_shared<PanGestureRecognizer>();
    pan->addTarget([&](GestureRecognizer& recognizer) {
        states.push_back(recognizer.state());
        translation = static_cast<PanGestureRecognizer&>(recognizer).translationInView(surface);
    });
    surface->addGestureRecognizer(pan);
    test::drag(surface, QPointF(100, 100), QPointF(100, 220));
    ASSERT_GE(states.size(), 3u);
    EXPECT_EQ(states.front(), GestureRecognizer::State::Began);
    EXPECT_EQ(states.back(), GestureRecognizer::State::Ended);
    // Counted from where the gesture began, past the starting threshold.
    EXPECT_GT(translation.y(), 100);
    EXPECT_LE(translation.y(), 120);
    EXPECT_EQ(pan->state(), GestureRecognizer::State::Possible);
}

TEST_F(GestureTest, ASwipeRecognizesOnlyItsDirection) {
    int lefts = 0;
    auto swipe = std::make_shared<SwipeGestureRecognizer>([&](GestureRecognizer&) { ++lefts; });
    swipe->setDirection(SwipeGestureRecognizer::Left);
    surface->addGestureRecognizer(swipe);
    test::swipe(surface, test::Direction::Right);
    EXPECT_EQ(lefts, 0);
    test::swipe(surface, test::Direction::Left);
    EXPECT_EQ(lefts, 1);
}

TEST_F(GestureTest, AButtonTakesItsTapBeforeASingleTapAroundIt) {
    int taps = 0;
    int presses = 0;
    surface->addGestureRecognizer(
        std::make_shared<TapGestureRecognizer>([&](GestureRecognizer&) { ++taps; }));
    auto* button = new Button();
    button->setFrame(QRectF(10, 10, 100, 44));
    surface->addSubview(button);
    button->addTarget(Control::TouchUpInside, [&](Control&) { ++presses; });
    test::tap(button);
    EXPECT_EQ(presses, 1);
    EXPECT_EQ(taps, 0);
    test::tap(surface, QPointF(200, 200));
    EXPECT_EQ(taps, 1);
}

TEST_F(GestureTest, DraggingAScrollViewTellsTheDelegateAndScrollsByTheDrag) {
    struct Journal : ScrollViewDelegate {
        QStringList events;
        void scrollViewWillBeginDragging(ScrollView&) override {
            events << QStringLiteral("willBeginDragging");
        }
        void scrollViewDidEndDragging(ScrollView&, bool) override {
            events << QStringLiteral("didEndDragging");
        }
        void scrollViewDidEndDecelerating(ScrollView&) override {
            events << QStringLiteral("didEndDecelerating");
        }
    };
    auto journal = std::make_shared<Journal>();
    auto* scroll = new ScrollView();
    scroll->setFrame(surface->bounds());
    scroll->setContentSize(QSizeF(375, 2000));
    scroll->setDelegate(journal);
    surface->addSubview(scroll);
    test::drag(scroll, QPointF(100, 300), QPointF(100, 100));
    ASSERT_TRUE(test::runUntil([&] { return !scroll->isDragging() && !scroll->isDecelerating(); }));
    ASSERT_GE(journal->events.size(), 2);
    EXPECT_EQ(journal->events.front(), QStringLiteral("willBeginDragging"));
    EXPECT_TRUE(journal->events.contains(QStringLiteral("didEndDragging")));
    EXPECT_GT(scroll->contentOffset().y(), 100);
}

TEST_F(GestureTest, AVerticalScrollViewLeavesHorizontalDragsToOthers) {
    int swipes = 0;
    auto swipe = std::make_shared<PanGestureRecognizer>([&](GestureRecognizer& recognizer) {
        if (recognizer.state() == GestureRecognizer::State::Ended) ++swipes;
    });
    surface->addGestureRecognizer(swipe);
    auto* scroll = new ScrollView();
    scroll->setFrame(surface->bounds());
    scroll->setContentSize(QSizeF(375, 2000));
    surface->addSubview(scroll);
    test::drag(scroll, QPointF(300, 200), QPointF(100, 205));
    EXPECT_EQ(swipes, 1);
    EXPECT_EQ(scroll->contentOffset(), QPointF(0, 0));
}

}  // namespace
}  // namespace tovrin::ui
