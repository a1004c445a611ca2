#include <gtest/gtest.h>

#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/scrolling/TableView.h"
#include "platform/ui/text/Label.h"
#include "platform/ui/views/Window.h"
#include "support/TestSupport.h"
#include "support/UITestSupport.h"

namespace tovrin::ui {
namespace {

// Two sections of named rows; deleting by swipe removes the row from the model and the table.
class Rows : public TableViewDataSource, public TableViewDelegate {
public:
    std::vector<QStringList> sections{{}, {}};
    std::vector<IndexPath> selected;
    std::vector<IndexPath> deselected;
    TableView* table = nullptr;

    int numberOfSections(TableView&) override { return int(sections.size()); }
    int numberOfRowsInSection(TableView&, int section) override {
        return int(sections[size_t(section)].size());
    }
    TableViewCell* cellForRowAtIndexPath(TableView& view, const IndexPath& indexPath) override {
        TableViewCell* cell = view.dequeueReusableCell(QStringLiteral("row"), indexPath);
        cell->textLabel()->setText(sections[size_t(indexPath.section)][indexPath.row()]);
        return cell;
    }
    QString titleForHeaderInSection(TableView&, int section) override {
        return section == 0 ? QStringLiteral("Favourites") : QString();
    }
    bool canEditRowAtIndexPath(TableView&, const IndexPath& indexPath) override {
        return indexPath.section == 1;
    }
    void commitEditingStyle(TableView& view, EditingStyle, const IndexPath& indexPath) override {
        sections[size_t(indexPath.section)].removeAt(indexPath.row());
        view.deleteRows({indexPath});
    }
    void didSelectRow(TableView&, const IndexPath& indexPath) override { selected.push_back(indexPath); }
    void didDeselectRow(TableView&, const IndexPath& indexPath) override { deselected.push_back(indexPath); }
};

// Rows of a cell class of its own, taken from the table as that class.
class NumberCell : public TableViewCell {
public:
    int number = -1;
};

class Numbers : public TableViewDataSource {
public:
    int numberOfRowsInSection(TableView&, int) override { return 20; }
    TableViewCell* cellForRowAtIndexPath(TableView& view, const IndexPath& indexPath) override {
        auto* cell = view.dequeueReusableCell<NumberCell>("number", indexPath);
        cell->number = indexPath.row();
        return cell;
    }
};

class TableViewTest : public testing::Test {
protected:
    ImmediateAnimations immediate;
    Window window{nullptr};
    std::shared_ptr<Rows> rows = std::make_shared<Rows>();
    TableView* table = new TableView();

    void SetUp() override {
        for (int row = 0; row < 3; ++row) rows->sections[0] << QStringLiteral("A%1").arg(row);
        for (int row = 0; row < 200; ++row) rows->sections[1] << QStringLiteral("B%1").arg(row);
        table->setFrame(QRectF(0, 0, 375, 667));
        table->registerCell(QStringLiteral("row"), [] { return new TableViewCell(); });
        window.addSubview(table);
        window.show();
        table->setDataSource(rows);
        table->setDelegate(rows);
        table->layoutIfNeeded();
    }
    QString textAt(const IndexPath& indexPath) const {
        return table->cellForRowAtIndexPath(indexPath)->textLabel()->text();
    }
};

TEST_F(TableViewTest, RowsStackUnderTheirSectionHeaderAndOnlyVisibleRowsExist) {
    EXPECT_EQ(table->rectForRowAtIndexPath({0, 0}), QRectF(0, 22, 375, 44));
    EXPECT_EQ(table->rectForRowAtIndexPath({1, 0}), QRectF(0, 22 + 3 * 44, 375, 44));
    // (667 − 22) / 44 rows fit, partly.
    EXPECT_EQ(table->visibleCells().size(), 15u);
    EXPECT_EQ(textAt({1, 0}), QStringLiteral("B0"));
    test::scrollTo(table, QPointF(0, 5000));
    EXPECT_LE(table->cellsBuilt(), 17);
    EXPECT_EQ(textAt(table->indexPathsForVisibleRows().front()),
              QStringLiteral("B%1").arg((5000 - 22 - 3 * 44) / 44));
}

TEST_F(TableViewTest, InsertingAndDeletingRowsKeepsTheOtherCells) {
    TableViewCell* b1 = table->cellForRowAtIndexPath({1, 1});
    rows->sections[1].removeAt(0);
    rows->sections[1].insert(2, QStringLiteral("new"));
    table->beginUpdates();
    table->deleteRows({{1, 0}});
    table->insertRows({{1, 2}});
    table->endUpdates();
    test::drainAnimations();
    EXPECT_EQ(table->cellForRowAtIndexPath({1, 0}), b1);
    EXPECT_EQ(textAt({1, 2}), QStringLiteral("new"));
    EXPECT_EQ(b1->frame(), table->rectForRowAtIndexPath({1, 0}));
}

TEST_F(TableViewTest, SingleSelectionMovesAndMultipleSelectionToggles) {
    test::tap(table->cellForRowAtIndexPath({1, 0}));
    test::tap(table->cellForRowAtIndexPath({1, 1}));
    EXPECT_EQ(table->indexPathForSelectedRow(), (IndexPath{1, 1}));
    EXPECT_EQ(rows->deselected, (std::vector<IndexPath>{{1, 0}}));
    table->setAllowsMultipleSelection(true);
    test::tap(table->cellForRowAtIndexPath({1, 2}));
    test::tap(table->cellForRowAtIndexPath({1, 1}));
    EXPECT_EQ(table->indexPathsForSelectedRows(), (std::vector<IndexPath>{{1, 2}}));
}

TEST_F(TableViewTest, SwipingAnEditableRowRevealsDeleteWhichDeletesIt) {
    TableViewCell* cell = table->cellForRowAtIndexPath({1, 1});
    test::drag(cell, QPointF(300, 22), QPointF(150, 24));
    test::drainAnimations();
    EXPECT_EQ(table->swipedRow(), (IndexPath{1, 1}));
    EXPECT_DOUBLE_EQ(cell->editingOffset(), -TableView::SwipeActionWidth);
    test::tap(cell->deleteButton());
    test::drainAnimations();
    EXPECT_EQ(rows->sections[1].size(), 199);
    EXPECT_EQ(textAt({1, 1}), QStringLiteral("B2"));

    // Rows that cannot be edited do not move.
    TableViewCell* fixed = table->cellForRowAtIndexPath({0, 0});
    test::drag(fixed, QPointF(300, 22), QPointF(150, 24));
    EXPECT_DOUBLE_EQ(fixed->editingOffset(), 0);
    EXPECT_FALSE(table->swipedRow());
}

TEST_F(TableViewTest, ACellOfARegisteredClassComesBackAsThatClass) {
    auto numbers = std::make_shared<Numbers>();
    table->registerCell(QStringLiteral("number"), [] { return new NumberCell(); });
    table->setDataSource(numbers);
    table->reloadData();
    table->layoutIfNeeded();
    auto* cell = dynamic_cast<NumberCell*>(table->cellForRowAtIndexPath({0, 3}));
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->number, 3);
}

}  // namespace
}  // namespace tovrin::ui
