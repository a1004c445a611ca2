#include <gtest/gtest.h>

#include "API/MinMax.h"
#include "Categories/UI/Font+Tovrin.h"
#include "UserInterface/ContainedPicker.h"
#include "UserInterface/RangePickerView.h"
#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/controls/PickerView.h"
#include "platform/ui/scrolling/ScrollView.h"
#include "platform/ui/text/Font.h"
#include "platform/ui/text/Label.h"
#include "platform/ui/views/LayoutConstraint.h"
#include "platform/ui/views/Window.h"
#include "support/TestSupport.h"
#include "support/UITestSupport.h"

namespace tovrin {
namespace {

constexpr double rowHeight = 32;
constexpr double wheelHeight = 216;

std::vector<RangePickerViewData> rowsOf(std::initializer_list<double> values) {
    std::vector<RangePickerViewData> rows;
    for (double value : values) rows.emplace_back(QString::number(value), value);
    return rows;
}

// The filter editor's rows: the open end first, then real numbers.
std::vector<RangePickerViewData> ageRows() {
    RangePickerViewData openEnd;
    openEnd.leftOverrideName = QStringLiteral("No Minimum");
    openEnd.rightOverrideName = QStringLiteral("No Maximum");
    openEnd.value = MinMaxUnbounded;
    std::vector<RangePickerViewData> rows{openEnd};
    for (auto& row : rowsOf({18, 19, 20})) rows.push_back(row);
    return rows;
}

struct ComponentRecorder : RangePickerViewDelegate {
    std::vector<unsigned> changed;
    void rangePickerViewDidChangeComponent(RangePickerView&, unsigned component) override {
        changed.push_back(component);
    }
};

class RangePickerTest : public testing::Test {
protected:
    ui::ImmediateAnimations immediate;
    ui::Window window{nullptr};
    RangePickerView* picker = new RangePickerView();
    std::shared_ptr<ComponentRecorder> recorder = std::make_shared<ComponentRecorder>();

    void SetUp() override {
        picker->setFrame(QRectF(0, 400, 375, wheelHeight));
        window.addSubview(picker);
        window.show();
        picker->setDelegate(recorder);
        picker->layoutIfNeeded();
    }
    ui::ScrollView* wheel(int component) {
        return test::find<ui::ScrollView>(picker, QStringLiteral("PickerComponent%1").arg(component));
    }
    // Taps the row `offset` rows below the one the wheel rests on.
    void turn(int component, int offset) {
        test::tap(wheel(component), QPointF(40, wheelHeight / 2 + offset * rowHeight));
        test::drainAnimations();
    }
    int shown(int component) { return picker->pickerView()->selectedRowInComponent(component); }
};

TEST(RangePickerNearestRow, PicksTheNearestRealRowAndTheOpenEndOnlyForItsOwnValue) {
    const auto withOpenEnd = ageRows();  // open end, 18, 19, 20
    const auto plain = rowsOf({10, 20, 30});
    struct Case {
        const std::vector<RangePickerViewData>* rows;
        double value;
        unsigned expected;
        const char* why;
    };
    const std::vector<Case> cases{
        {&withOpenEnd, 18.4, 1, "nearer 18"},
        {&withOpenEnd, 18.5, 2, "a tie takes the upper row"},
        {&withOpenEnd, 25, 3, "above every row: the last"},
        {&withOpenEnd, MinMaxUnbounded, 0, "the open end exactly"},
        {&withOpenEnd, 5, 1, "below 18: the first real row, never the open end"},
        {&withOpenEnd, -1e30, 1, "far below 18: still a real row"},
        {&withOpenEnd, 19, 2, "exact"},
        {&plain, 11, 0, "the first row competes like any other"},
        {&plain, 24, 1, "nearer 20"},
        {&plain, 26, 2, "nearer 30"},
        {&plain, 15, 1, "a tie takes the upper row"},
        {&plain, 10, 0, "exact"},
        {&plain, 20, 1, "exact"},
        {&plain, 30, 2, "exact"},
        {&plain, 2, 0, "below every row: the first"},
        {&plain, 99, 2, "above every row: the last"},
    };
    for (const Case& each : cases) {
        EXPECT_EQ(RangePickerView::findNearestIndexInPickerData(*each.rows, each.value), each.expected)
            << each.value << ": " << each.why;
    }
    EXPECT_DEATH(RangePickerView::findNearestIndexInPickerData({}, 18), "No row to match");
}

TEST_F(RangePickerTest, MatchingValuesMovesTheWheelsAndEachWheelShowsItsOwnNames) {
    picker->setPickerData(ageRows());
    picker->setMinimumItemMatchingValue(MinMaxUnbounded);
    picker->setMaximumItemMatchingValue(19.2);
    EXPECT_EQ(picker->minimumItemIndex(), 0u);
    EXPECT_EQ(picker->maximumItemIndex(), 2u);
    EXPECT_EQ(shown(0), 0);
    EXPECT_EQ(shown(1), 2);
    auto title = [&](int row, int component) {
        auto* label = qobject_cast<ui::Label*>(picker->pickerView()->viewForRow(row, component));
        return label ? label->text() : QStringLiteral("(not in sight)");
    };
    EXPECT_EQ(title(0, 0), QStringLiteral("No Minimum"));
    EXPECT_EQ(title(1, 0), QStringLiteral("18"));
    EXPECT_EQ(title(1, 1), QStringLiteral("18"));
    EXPECT_EQ(title(0, 1), QStringLiteral("No Maximum"));
    EXPECT_TRUE(recorder->changed.empty());
    test::saveScreenshot(picker, QStringLiteral("RangePickerView"));
}

TEST_F(RangePickerTest, IndexesSetAloneStayOffTheWheelsUntilBothAreSetTogether) {
    picker->setPickerData(ageRows());
    picker->setMinimumItemIndex(2);
    picker->setMaximumItemIndex(3);
    EXPECT_EQ(picker->minimumItemIndex(), 2u);
    EXPECT_EQ(picker->maximumItemIndex(), 3u);
    EXPECT_EQ(shown(0), 0);
    EXPECT_EQ(shown(1), 0);
    picker->setMinimumItemIndex(1, 3, false);
    EXPECT_EQ(shown(0), 1);
    EXPECT_EQ(shown(1), 3);
    // New rows keep the indexes; the caller matches its values again.
    picker->setPickerData(rowsOf({10, 20, 30, 40, 50}));
    EXPECT_EQ(picker->minimumItemIndex(), 1u);
    EXPECT_EQ(picker->maximumItemIndex(), 3u);
    EXPECT_TRUE(recorder->changed.empty());
}

TEST_F(RangePickerTest, TurningTheMinimumPastTheMaximumLeavesBothAsTurned) {
    picker->setPickerData(rowsOf({10, 20, 30, 40, 50}));
    picker->setMinimumItemIndex(1, 2, false);
    turn(0, 2);
    EXPECT_EQ(picker->minimumItemIndex(), 3u);
    EXPECT_EQ(picker->maximumItemIndex(), 2u);
    EXPECT_EQ(recorder->changed, (std::vector<unsigned>{0}));
    turn(1, -2);
    EXPECT_EQ(picker->minimumItemIndex(), 3u);
    EXPECT_EQ(picker->maximumItemIndex(), 0u);
    EXPECT_EQ(recorder->changed, (std::vector<unsigned>{0, 1}));
    EXPECT_EQ(shown(0), 3);
    EXPECT_EQ(shown(1), 0);
}

TEST_F(RangePickerTest, EachWheelSpeaksItsOwnLabelAndHint) {
    picker->setPickerData(ageRows());
    picker->setAccessibilityLabelForMinimumComponent(QStringLiteral("Minimum Age"));
    picker->setAccessibilityHintForMinimumComponent(QStringLiteral("Pick minimum Age"));
    picker->setAccessibilityLabelForMaximumComponent(QStringLiteral("Maximum Age"));
    picker->setAccessibilityHintForMaximumComponent(QStringLiteral("Pick maximum Age"));
    EXPECT_EQ(wheel(0)->accessibilityLabel(), QStringLiteral("Minimum Age"));
    EXPECT_EQ(wheel(0)->accessibleDescription(), QStringLiteral("Pick minimum Age"));
    EXPECT_EQ(wheel(1)->accessibilityLabel(), QStringLiteral("Maximum Age"));
    EXPECT_EQ(wheel(1)->accessibleDescription(), QStringLiteral("Pick maximum Age"));
}

struct RowRecorder : ContainedPickerDelegate {
    std::vector<int> rows;
    void containedPickerDidSelectRow(ContainedPicker&, int row) override { rows.push_back(row); }
};

class ContainedPickerTest : public testing::Test {
protected:
    ui::ImmediateAnimations immediate;
    ui::Window window{nullptr};
    ContainedPicker* picker = new ContainedPicker();
    std::shared_ptr<RowRecorder> recorder = std::make_shared<RowRecorder>();

    void SetUp() override {
        window.addSubview(picker);
        window.show();
        picker->setDelegate(recorder);
    }
    // The form row follows the picker's height.
    void layOut() {
        picker->setFrame(QRectF(0, 300, 375, picker->heightConstraint()->constant()));
        picker->layoutIfNeeded();
    }
    ui::ScrollView* column(int component) {
        return test::find<ui::ScrollView>(picker, QStringLiteral("PickerComponent%1").arg(component));
    }
    void turn(int component, int offset) {
        test::tap(column(component), QPointF(40, wheelHeight / 2 + offset * rowHeight));
        test::drainAnimations();
    }
};

TEST_F(ContainedPickerTest, OpensAndClosesByItsHeightWithTheWheelHangingFromTheBottom) {
    picker->setDisplayData({{QStringLiteral("Ask me"), QStringLiteral("Single"), QStringLiteral("Dating")}});
    EXPECT_FALSE(picker->isOpen());
    EXPECT_EQ(picker->heightConstraint()->constant(), 0);
    EXPECT_EQ(picker->heightConstraint()->priority(), ui::LayoutConstraint::Required);
    picker->toggleVisibility();
    EXPECT_TRUE(picker->isOpen());
    EXPECT_EQ(picker->heightConstraint()->constant(), wheelHeight);
    layOut();
    EXPECT_EQ(picker->pickerView()->frame(), QRectF(0, 0, 375, wheelHeight));
    test::saveScreenshot(picker, QStringLiteral("ContainedPicker"));
    picker->toggleVisibility();
    EXPECT_FALSE(picker->isOpen());
    EXPECT_EQ(picker->heightConstraint()->constant(), 0);
    // Halfway, only the wheel's lower part is in the row.
    picker->setFrame(QRectF(0, 300, 375, 100));
    picker->layoutIfNeeded();
    EXPECT_EQ(picker->pickerView()->frame(), QRectF(0, 100 - wheelHeight, 375, wheelHeight));
}

TEST_F(ContainedPickerTest, SelectingInCodeIsSilentAndTurningAnyColumnReportsColumnZero) {
    picker->setDisplayData(
        {{QStringLiteral("Ask me"), QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")},
         {QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z")}});
    picker->toggleVisibility();
    layOut();
    EXPECT_EQ(picker->pickerView()->numberOfComponents(), 2);
    picker->setSelectedRow(2);
    EXPECT_EQ(picker->selectedRow(), 2);
    EXPECT_TRUE(recorder->rows.empty());
    turn(0, 1);
    EXPECT_EQ(recorder->rows, (std::vector<int>{3}));
    turn(1, 2);
    EXPECT_EQ(picker->pickerView()->selectedRowInComponent(1), 2);
    EXPECT_EQ(recorder->rows, (std::vector<int>{3, 3}));
    // Closing and opening keeps the selection.
    picker->toggleVisibility();
    picker->toggleVisibility();
    EXPECT_EQ(picker->selectedRow(), 3);
}

TEST_F(ContainedPickerTest, RowsShowCentredTextsAndEveryColumnCarriesThePickersLabel) {
    picker->setDisplayData({{QStringLiteral("Ask me"), QStringLiteral("Single")}, {QStringLiteral("x")}});
    picker->setAccessibilityLabel(QStringLiteral("Relationship - picker"));
    picker->toggleVisibility();
    layOut();
    EXPECT_EQ(picker->accessibilityLabel(), QStringLiteral("Relationship - picker"));
    EXPECT_EQ(picker->accessibilityLabelForPicker(), QStringLiteral("Relationship - picker"));
    for (int component : {0, 1})
        EXPECT_EQ(column(component)->accessibilityLabel(), QStringLiteral("Relationship - picker"));
    auto* row = qobject_cast<ui::Label*>(picker->pickerView()->viewForRow(1, 0));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->text(), QStringLiteral("Single"));
    EXPECT_EQ(row->font().family(), tovrinFont(QStringLiteral("DIN OT"), 22).family());
    EXPECT_EQ(ui::Font::pointSize(row->font()), 22);
    EXPECT_EQ(row->textAlignment() & Qt::AlignHCenter, Qt::AlignHCenter);
}

TEST_F(ContainedPickerTest, EmptyDataGivesAWheelWithNoColumns) {
    picker->setDisplayData({});
    picker->toggleVisibility();
    layOut();
    EXPECT_EQ(picker->pickerView()->numberOfComponents(), 0);
    EXPECT_EQ(column(0), nullptr);
}

}  // namespace
}  // namespace tovrin
