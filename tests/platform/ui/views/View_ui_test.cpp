#include <gtest/gtest.h>

#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/scrolling/ScrollView.h"
#include "platform/ui/views/LayoutConstraint.h"
#include "platform/ui/views/Window.h"
#include "support/TestSupport.h"
#include "support/UITestSupport.h"

namespace tovrin::ui {
namespace {

// Lays its one child out at the height its constraint gives.
class Sheet : public View {
public:
    Sheet() : child(new View(this)), height(std::make_shared<LayoutConstraint>(0)) { addConstraint(height); }
    View* child;
    std::shared_ptr<LayoutConstraint> height;
    int layouts = 0;

protected:
    void layoutSubviews() override {
        ++layouts;
        child->setFrame(
            QRectF(0, bounds().height() - height->constant(), bounds().width(), height->constant()));
    }
};

class ViewTest : public testing::Test {
protected:
    Window window{nullptr};
    void SetUp() override { window.show(); }
};

TEST_F(ViewTest, InsideAnAnimationTheModelChangesAtOnceAndTheScreenFollows) {
    auto* view = new View();
    view->setFrame(QRectF(0, 0, 100, 100));
    window.addSubview(view);
    bool finished = false;
    ViewAnimation::animate(
        1.0,
        [&] {
            view->setFrame(QRectF(200, 0, 100, 100));
            view->setAlpha(0.5);
        },
        [&](bool done) { finished = done; });
    EXPECT_EQ(view->frame(), QRectF(200, 0, 100, 100));
    EXPECT_DOUBLE_EQ(view->alpha(), 0.5);
    EXPECT_EQ(view->presentationFrame(), QRectF(0, 0, 100, 100));
    ASSERT_TRUE(test::runUntil([&] { return view->presentationFrame().x() > 0; }));
    test::drainAnimations();
    EXPECT_TRUE(finished);
    EXPECT_EQ(view->presentationFrame(), QRectF(200, 0, 100, 100));
}

TEST_F(ViewTest, ANewChangeInterruptsAnAnimationWhichCompletesUnfinished) {
    auto* view = new View();
    window.addSubview(view);
    std::optional<bool> first;
    ViewAnimation::animate(
        1.0, [&] { view->setFrame(QRectF(0, 0, 50, 50)); }, [&](bool done) { first = done; });
    view->setFrame(QRectF(10, 10, 20, 20));
    test::drainMainQueue();
    EXPECT_EQ(first, std::optional<bool>(false));
    EXPECT_EQ(view->presentationFrame(), QRectF(10, 10, 20, 20));
}

TEST_F(ViewTest, ImmediateModeCompletesAtOnceButStillLater) {
    ImmediateAnimations immediate;
    auto* view = new View();
    window.addSubview(view);
    bool finished = false;
    ViewAnimation::animate(
        5.0, [&] { view->setTransform(Transform::translation(0, 300)); },
        [&](bool done) { finished = done; });
    EXPECT_FALSE(finished);
    EXPECT_EQ(ViewAnimation::runningCount(), 0);
    test::drainMainQueue();
    EXPECT_TRUE(finished);
    EXPECT_EQ(view->presentationFrame(), QRectF(0, 300, 0, 0));
}

TEST_F(ViewTest, AConstraintChangeLaysTheOwnerOutAgainAndAnimatesInABlock) {
    ImmediateAnimations immediate;
    auto* sheet = new Sheet();
    sheet->setFrame(QRectF(0, 0, 375, 667));
    window.addSubview(sheet);
    sheet->layoutIfNeeded();
    const int before = sheet->layouts;
    ViewAnimation::animate(0.3, [&] {
        sheet->height->setConstant(360);
        sheet->layoutIfNeeded();
    });
    EXPECT_EQ(sheet->layouts, before + 1);
    EXPECT_EQ(sheet->child->frame(), QRectF(0, 307, 375, 360));
}

TEST(LayoutConstraint, TheActiveOneOfHigherPriorityWins) {
    LayoutConstraint high(1, 999);
    LayoutConstraint low(2, 250);
    EXPECT_EQ(LayoutConstraint::winner(&high, &low), &high);
    high.setPriority(1);
    EXPECT_EQ(LayoutConstraint::winner(&high, &low), &low);
    low.setActive(false);
    EXPECT_EQ(LayoutConstraint::winner(&high, &low), &high);
}

TEST_F(ViewTest, PointsConvertThroughAScrollViewsOffset) {
    auto* scroll = new ScrollView();
    scroll->setFrame(QRectF(0, 100, 375, 300));
    scroll->setContentSize(QSizeF(375, 1000));
    window.addSubview(scroll);
    auto* row = new View();
    row->setFrame(QRectF(0, 500, 375, 44));
    scroll->addSubview(row);
    scroll->setContentOffset(QPointF(0, 450));
    EXPECT_EQ(row->convertPoint(QPointF(0, 0), nullptr), QPointF(0, 150));
    EXPECT_EQ(scroll->convertPoint(QPointF(0, 500), nullptr), QPointF(0, 150));
    EXPECT_EQ(scroll->convertPointFrom(QPointF(0, 150), nullptr), QPointF(0, 500));
    EXPECT_EQ(window.hitTest(QPointF(10, 160)), row);
}

TEST_F(ViewTest, TheTintComesFromTheNearestViewThatHasOne) {
    auto* outer = new View();
    auto* inner = new View();
    outer->addSubview(inner);
    window.addSubview(outer);
    window.setTintColor(Qt::yellow);
    EXPECT_EQ(inner->tintColor(), QColor(Qt::yellow));
    outer->setTintColor(Qt::red);
    EXPECT_EQ(inner->tintColor(), QColor(Qt::red));
}

TEST_F(ViewTest, HiddenOrTransparentViewsTakeNoTouches) {
    auto* view = new View();
    view->setFrame(QRectF(0, 0, 100, 100));
    window.addSubview(view);
    EXPECT_EQ(window.hitTest(QPointF(50, 50)), view);
    view->setAlpha(0);
    EXPECT_NE(window.hitTest(QPointF(50, 50)), view);
    view->setAlpha(1);
    view->setUserInteractionEnabled(false);
    EXPECT_NE(window.hitTest(QPointF(50, 50)), view);
}

TEST(WindowState, MinimisedOrHiddenIsBackgroundUnfocusedIsInactive) {
    const struct {
        bool visible, minimized, active;
        ApplicationState state;
    } cases[] = {
        {true, false, true, ApplicationState::Active},
        {true, false, false, ApplicationState::Inactive},
        {true, true, false, ApplicationState::Background},
        {false, false, false, ApplicationState::Background},
    };
    for (const auto& each : cases) {
        EXPECT_EQ(Window::applicationStateFor(each.visible, each.minimized, each.active), each.state);
    }
}

TEST(WindowState, TheKeyWindowDrivesTheApplication) {
    auto center = std::make_shared<NotificationCenter>();
    auto application = std::make_shared<Application>(center);
    Window window(application);
    EXPECT_EQ(window.frame().size(), QSizeF(375, 667));
    window.makeKeyAndVisible();
    ASSERT_TRUE(test::runUntil([&] { return application->applicationState() == ApplicationState::Active; }));
    window.hide();
    EXPECT_EQ(application->applicationState(), ApplicationState::Background);
}

}  // namespace
}  // namespace tovrin::ui
