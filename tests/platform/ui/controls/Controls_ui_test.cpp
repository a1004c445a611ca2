#include <gtest/gtest.h>

#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/controls/ActivityIndicatorView.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/DatePicker.h"
#include "platform/ui/controls/ImageView.h"
#include "platform/ui/controls/PageControl.h"
#include "platform/ui/controls/PickerView.h"
#include "platform/ui/controls/RefreshControl.h"
#include "platform/ui/controls/SegmentedControl.h"
#include "platform/ui/controls/Switch.h"
#include "platform/ui/scrolling/ScrollView.h"
#include "platform/ui/text/Label.h"
#include "platform/ui/views/Window.h"
#include "support/TestSupport.h"
#include "support/UITestSupport.h"

namespace tovrin::ui {
namespace {

// Takes touches up to `extension` points beyond its bounds.
class ExtendedButton : public Button {
public:
    double extension = 0;
    bool pointInside(const QPointF& point) const override {
        return bounds().adjusted(-extension, -extension, extension, extension).contains(point);
    }
};

// Takes touches only around the box at its left end, not on the title beside it.
class BoxOnlyButton : public Button {
public:
    QRectF box;
    bool pointInside(const QPointF& point) const override {
        return box.adjusted(-5, -5, 5, 5).contains(point);
    }
};

class ControlsTest : public testing::Test {
protected:
    ImmediateAnimations immediate;
    Window window{nullptr};

    template <class T>
    T* place(T* control, const QRectF& frame) {
        control->setFrame(frame);
        window.addSubview(control);
        return control;
    }
    void SetUp() override { window.show(); }
};

TEST_F(ControlsTest, AButtonShowsThePerStateTitleAndSendsTouchEvents) {
    auto* button = place(new Button(), QRectF(20, 100, 200, 44));
    button->setTitle(QStringLiteral("Sign In"));
    button->setTitle(QStringLiteral("Signing In"), Control::Highlighted);
    button->setTitleColor(Qt::red, Control::Disabled);
    QStringList events;
    button->addTarget(Control::TouchDown, [&](Control& control) {
        events << QStringLiteral("down:") + static_cast<Button&>(control).currentTitle();
    });
    button->addTarget(Control::TouchUpInside, [&](Control& control) {
        events << QStringLiteral("up:") + static_cast<Button&>(control).currentTitle();
    });
    test::tap(button);
    EXPECT_EQ(events, (QStringList{QStringLiteral("down:Signing In"), QStringLiteral("up:Sign In")}));
    EXPECT_EQ(button->titleForState(Control::Selected), QStringLiteral("Sign In"));
    button->setEnabled(false);
    EXPECT_EQ(button->titleLabel()->textColor(), QColor(Qt::red));
    test::tap(button);
    EXPECT_EQ(events.size(), 2);
}

TEST_F(ControlsTest, AButtonsOwnPointInsideSetsItsHitAreaBeyondOrWithinItsBounds) {
    auto* extended = place(new ExtendedButton(), QRectF(100, 300, 20, 20));
    extended->extension = 25;
    auto* boxed = place(new BoxOnlyButton(), QRectF(100, 500, 200, 30));
    boxed->box = QRectF(0, 5, 20, 20);
    int extendedTaps = 0;
    int boxedTaps = 0;
    extended->addTarget(Control::TouchUpInside, [&](Control&) { ++extendedTaps; });
    boxed->addTarget(Control::TouchUpInside, [&](Control&) { ++boxedTaps; });
    // Points in each button's own coordinates. The extended one takes a 70 × 70 area.
    struct Case {
        Button* button;
        QPointF point;
        bool taken;
    };
    const std::vector<Case> cases = {
        {extended, QPointF(10, 10), true},   {extended, QPointF(-24, -24), true},
        {extended, QPointF(44, 44), true},   {extended, QPointF(-24, 44), true},
        {extended, QPointF(-26, 10), false}, {extended, QPointF(10, 46), false},
        {extended, QPointF(46, -10), false}, {boxed, QPointF(10, 15), true},
        {boxed, QPointF(-4, 15), true},      {boxed, QPointF(24, 15), true},
        {boxed, QPointF(100, 15), false},    {boxed, QPointF(-6, 15), false},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(testing::Message() << (each.button == extended ? "extended " : "boxed ")
                                        << each.point.x() << "," << each.point.y());
        int& taps = each.button == extended ? extendedTaps : boxedTaps;
        const int before = taps;
        test::tap(each.button, each.point);
        EXPECT_EQ(taps, before + (each.taken ? 1 : 0));
        EXPECT_EQ(window.hitTest(each.button->convertPoint(each.point, nullptr)) == each.button, each.taken);
    }
}

TEST_F(ControlsTest, ADragThatEndsOutsideIsNotATap) {
    auto* button = place(new Button(), QRectF(20, 100, 100, 44));
    int inside = 0;
    int outside = 0;
    button->addTarget(Control::TouchUpInside, [&](Control&) { ++inside; });
    button->addTarget(Control::TouchUpOutside, [&](Control&) { ++outside; });
    test::drag(button, QPointF(50, 22), QPointF(50, 300));
    EXPECT_EQ(inside, 0);
    EXPECT_EQ(outside, 1);
}

TEST_F(ControlsTest, ASwitchFlipsOnATap) {
    auto* toggle = place(new Switch(), QRectF(20, 100, 51, 31));
    int changes = 0;
    toggle->addTarget(Control::ValueChanged, [&](Control&) { ++changes; });
    test::tap(toggle);
    EXPECT_TRUE(toggle->isOn());
    test::tap(toggle);
    EXPECT_FALSE(toggle->isOn());
    EXPECT_EQ(changes, 2);
    toggle->setOn(true);
    EXPECT_EQ(changes, 2);
}

TEST_F(ControlsTest, ASegmentedControlSelectsTheTouchedSegment) {
    auto* segments = place(new SegmentedControl({QStringLiteral("Metric"), QStringLiteral("Imperial")}),
                           QRectF(20, 100, 200, 29));
    int changes = 0;
    segments->addTarget(Control::ValueChanged, [&](Control&) { ++changes; });
    test::tap(segments, QPointF(150, 15));
    EXPECT_EQ(segments->selectedSegmentIndex(), 1);
    test::tap(segments, QPointF(150, 15));
    EXPECT_EQ(changes, 1);
    segments->setSegmentEnabled(false, 0);
    test::tap(segments, QPointF(20, 15));
    EXPECT_EQ(segments->selectedSegmentIndex(), 1);
}

TEST_F(ControlsTest, APageControlMovesOnePageTowardsTheTap) {
    auto* pages = place(new PageControl(), QRectF(0, 100, 375, 37));
    pages->setNumberOfPages(3);
    test::tap(pages, QPointF(300, 18));
    EXPECT_EQ(pages->currentPage(), 1);
    test::tap(pages, QPointF(20, 18));
    EXPECT_EQ(pages->currentPage(), 0);
    pages->setHidesForSinglePage(true);
    pages->setNumberOfPages(1);
    EXPECT_TRUE(pages->isHidden());
}

TEST_F(ControlsTest, AnActivityIndicatorHidesWhenStopped) {
    auto* spinner =
        place(new ActivityIndicatorView(ActivityIndicatorView::Style::WhiteLarge), QRectF(0, 0, 37, 37));
    EXPECT_TRUE(spinner->isHidden());
    spinner->startAnimating();
    EXPECT_FALSE(spinner->isHidden());
    EXPECT_TRUE(spinner->isAnimating());
    spinner->stopAnimating();
    EXPECT_TRUE(spinner->isHidden());
    EXPECT_EQ(spinner->intrinsicContentSize(), QSizeF(37, 37));
}

struct Heights : PickerViewDataSource, PickerViewDelegate {
    std::vector<std::pair<int, int>> chosen;
    int numberOfComponents(PickerView&) override { return 2; }
    int numberOfRowsInComponent(PickerView&, int component) override { return component == 0 ? 100 : 3; }
    std::optional<QString> titleForRow(PickerView&, int row, int component) override {
        return QStringLiteral("%1-%2").arg(component).arg(row);
    }
    void didSelectRow(PickerView&, int row, int component) override { chosen.emplace_back(component, row); }
};

TEST_F(ControlsTest, APickerShowsOnlyTheRowsInSightAndSettlesOnARow) {
    auto* picker = place(new PickerView(), QRectF(0, 400, 375, 216));
    auto rows = std::make_shared<Heights>();
    picker->setDataSource(rows);
    picker->setDelegate(rows);
    picker->layoutIfNeeded();
    EXPECT_EQ(picker->numberOfComponents(), 2);
    EXPECT_EQ(picker->numberOfRowsInComponent(0), 100);
    picker->selectRow(40, 0, false);
    EXPECT_EQ(picker->selectedRowInComponent(0), 40);
    EXPECT_TRUE(rows->chosen.empty());
    ASSERT_NE(picker->viewForRow(40, 0), nullptr);
    EXPECT_EQ(qobject_cast<Label*>(picker->viewForRow(40, 0))->text(), QStringLiteral("0-40"));
    EXPECT_EQ(picker->viewForRow(0, 0), nullptr);

    auto* wheel = test::find<ScrollView>(picker, QStringLiteral("PickerComponent0"));
    ASSERT_NE(wheel, nullptr);
    test::drag(wheel, QPointF(50, 150), QPointF(50, 80), 20);
    test::drainAnimations();
    ASSERT_FALSE(rows->chosen.empty());
    EXPECT_EQ(rows->chosen.back().first, 0);
    EXPECT_GT(rows->chosen.back().second, 40);
    EXPECT_EQ(picker->selectedRowInComponent(0), rows->chosen.back().second);
    // Settled exactly on the row.
    EXPECT_DOUBLE_EQ(std::fmod(wheel->contentOffset().y() + wheel->contentInset().top, 32.0), 0.0);
}

struct GrowingRows : PickerViewDataSource, PickerViewDelegate {
    int rows = 0;
    int numberOfComponents(PickerView&) override { return 1; }
    int numberOfRowsInComponent(PickerView&, int) override { return rows; }
    std::optional<QString> accessibilityLabelForComponent(PickerView&, int) override {
        return QStringLiteral("Age");
    }
    std::optional<QString> accessibilityHintForComponent(PickerView&, int) override {
        return QStringLiteral("Pick an age");
    }
};

TEST_F(ControlsTest, AWheelKeepsItsRowThroughANewHeightAndRowsLoadedLaterStartAtTheFirst) {
    auto* picker = place(new PickerView(), QRectF(0, 400, 375, 216));
    auto rows = std::make_shared<GrowingRows>();
    picker->setDataSource(rows);
    picker->setDelegate(rows);
    picker->layoutIfNeeded();
    rows->rows = 10;
    picker->reloadAllComponents();
    EXPECT_EQ(picker->selectedRowInComponent(0), 0);
    picker->selectRow(5, 0, false);
    picker->setFrame(QRectF(0, 400, 375, 120));
    picker->layoutIfNeeded();
    EXPECT_EQ(picker->selectedRowInComponent(0), 5);
    auto* wheel = test::find<ScrollView>(picker, QStringLiteral("PickerComponent0"));
    ASSERT_NE(wheel, nullptr);
    EXPECT_EQ(wheel->accessibilityLabel(), QStringLiteral("Age"));
    EXPECT_EQ(wheel->accessibleDescription(), QStringLiteral("Pick an age"));
}

TEST_F(ControlsTest, ADatePickerShowsItsDateAndKeepsWithinItsLimits) {
    auto* picker = place(new DatePicker(), QRectF(0, 400, 375, 216));
    picker->setMode(DatePicker::Mode::Date);
    const QDateTime birthday(QDate(1990, 2, 14), QTime(12, 0));
    picker->setMinimumDate(Date::fromQDateTime(QDateTime(QDate(1920, 1, 1), QTime(0, 0))));
    picker->setMaximumDate(Date::fromQDateTime(QDateTime(QDate(2005, 12, 31), QTime(0, 0))));
    picker->setDate(Date::fromQDateTime(birthday));
    PickerView* wheels = picker->pickerView();
    EXPECT_EQ(wheels->selectedRowInComponent(0), 1);   // February
    EXPECT_EQ(wheels->selectedRowInComponent(1), 13);  // the 14th
    EXPECT_EQ(wheels->selectedRowInComponent(2), 70);  // 1990, from 1920
    picker->setDate(Date::fromQDateTime(QDateTime(QDate(2010, 5, 5), QTime(0, 0))));
    EXPECT_EQ(picker->date().toQDateTime().date(), QDate(2005, 12, 31));

    int changes = 0;
    picker->addTarget(Control::ValueChanged, [&](Control&) { ++changes; });
    picker->setDate(Date::fromQDateTime(birthday));
    wheels->selectRow(2, 0, false);  // March, by hand
    wheels->delegate()->didSelectRow(*wheels, 2, 0);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(picker->date().toQDateTime().date(), QDate(1990, 3, 14));
}

TEST_F(ControlsTest, PullingTheContentDownPastTheRefreshControlStartsARefresh) {
    auto* scroll = place(new ScrollView(), QRectF(0, 0, 375, 667));
    scroll->setContentSize(QSizeF(375, 2000));
    auto* refresh = new RefreshControl();
    scroll->addSubview(refresh);
    int refreshes = 0;
    refresh->addTarget(Control::ValueChanged, [&](Control&) { ++refreshes; });
    test::drag(scroll, QPointF(100, 100), QPointF(100, 400), 20);
    test::drainAnimations();
    EXPECT_EQ(refreshes, 1);
    EXPECT_TRUE(refresh->isRefreshing());
    EXPECT_DOUBLE_EQ(scroll->contentInset().top, RefreshControl::Height);
    refresh->endRefreshing();
    test::drainAnimations();
    EXPECT_FALSE(refresh->isRefreshing());
    EXPECT_DOUBLE_EQ(scroll->contentInset().top, 0);
    EXPECT_EQ(scroll->contentOffset(), QPointF(0, 0));
    // A short pull does nothing.
    test::drag(scroll, QPointF(100, 100), QPointF(100, 150), 10);
    test::drainAnimations();
    EXPECT_EQ(refreshes, 1);
}

TEST(ImageView, TheContentModePlacesTheImage) {
    QImage wide(200, 100, QImage::Format_ARGB32);
    wide.fill(Qt::blue);
    ImageView view{Image(wide)};
    view.setFrame(QRectF(0, 0, 100, 100));
    const struct {
        ContentMode mode;
        QRectF placed;
    } cases[] = {
        {ContentMode::ScaleToFill, QRectF(0, 0, 100, 100)},
        {ContentMode::ScaleAspectFit, QRectF(0, 25, 100, 50)},
        {ContentMode::ScaleAspectFill, QRectF(-50, 0, 200, 100)},
        {ContentMode::Center, QRectF(-50, 0, 200, 100)},
        {ContentMode::Top, QRectF(-50, 0, 200, 100)},
    };
    for (const auto& each : cases) {
        view.setContentMode(each.mode);
        EXPECT_EQ(view.imageRect(), each.placed) << int(each.mode);
    }
    EXPECT_EQ(view.intrinsicContentSize(), QSizeF(200, 100));
    EXPECT_EQ(Image(wide, 2).size(), QSizeF(100, 50));
}

TEST_F(ControlsTest, AScrollViewZoomsItsZoomingViewAboutAPoint) {
    struct Zooming : ScrollViewDelegate {
        View* zoomed = nullptr;
        int zooms = 0;
        View* viewForZooming(ScrollView&) override { return zoomed; }
        void scrollViewDidZoom(ScrollView&) override { ++zooms; }
    };
    auto zooming = std::make_shared<Zooming>();
    auto* scroll = place(new ScrollView(), QRectF(0, 0, 300, 300));
    zooming->zoomed = new View();
    zooming->zoomed->setFrame(QRectF(0, 0, 300, 300));
    scroll->addSubview(zooming->zoomed);
    scroll->setContentSize(QSizeF(300, 300));
    scroll->setDelegate(zooming);
    scroll->setMaximumZoomScale(3);
    scroll->setZoomScale(5);
    EXPECT_DOUBLE_EQ(scroll->zoomScale(), 3);
    EXPECT_EQ(scroll->contentSize(), QSizeF(900, 900));
    EXPECT_EQ(zooming->zoomed->frame(), QRectF(0, 0, 900, 900));
    EXPECT_EQ(scroll->contentOffset(), QPointF(300, 300));  // about the middle
    scroll->zoomToRect(QRectF(0, 0, 150, 150), false);
    EXPECT_DOUBLE_EQ(scroll->zoomScale(), 2);
    EXPECT_EQ(scroll->contentOffset(), QPointF(0, 0));
    EXPECT_GE(zooming->zooms, 2);
}

}  // namespace
}  // namespace tovrin::ui
