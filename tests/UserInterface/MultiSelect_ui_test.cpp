#include <gtest/gtest.h>

#include <deque>

#include "Categories/UI/Color+Tovrin.h"
#include "UserInterface/IconLabel.h"
#include "UserInterface/MultiSelectViewController.h"
#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/controllers/NavigationBar.h"
#include "platform/ui/controllers/NavigationController.h"
#include "platform/ui/controllers/NavigationItem.h"
#include "platform/ui/scrolling/TableView.h"
#include "platform/ui/text/Label.h"
#include "platform/ui/views/Window.h"
#include "support/TestSupport.h"
#include "support/UITestSupport.h"

namespace tovrin {
namespace {

// Answers each change with the next scripted promise (no, when none is left) and records the
// selection it was shown.
class ScriptedDelegate : public MultiSelectViewControllerDelegate {
public:
    std::deque<Promise<bool>> answers;
    std::vector<std::set<int>> seen;

    Promise<bool> multiSelectViewControllerIndexesForSelectedRowsDidChange(
        MultiSelectViewController& list) override {
        seen.push_back(list.indexesForSelectedRows());
        if (answers.empty()) return Promise<bool>::resolved(false);
        Promise<bool> answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

const QStringList colours{QStringLiteral("Red"), QStringLiteral("Green"), QStringLiteral("Blue"),
                          QStringLiteral("Black"), QStringLiteral("White")};

class MultiSelectTest : public testing::Test {
protected:
    ui::ImmediateAnimations immediate;
    ui::Window window{nullptr};
    std::shared_ptr<ui::NavigationController> navigation =
        std::make_shared<ui::NavigationController>(std::make_shared<ui::ViewController>());
    std::shared_ptr<MultiSelectViewController> list = std::make_shared<MultiSelectViewController>();
    std::shared_ptr<ScriptedDelegate> delegate = std::make_shared<ScriptedDelegate>();

    void SetUp() override {
        // Opaque, as the app's navigation styles make it: the list starts below the bar.
        navigation->navigationBar()->setTranslucent(false);
        window.setRootViewController(navigation);
        window.show();
    }
    // As the filter editor does.
    void show(std::optional<std::set<int>> selected, bool withDelegate = true) {
        if (withDelegate) list->setDelegate(delegate);
        list->setTitle(QStringLiteral("Colours"));
        list->setItems(colours);
        list->setIndexesForSelectedRows(selected);
        navigation->pushViewController(list, true);
        test::drainAnimations();
        list->view()->layoutIfNeeded();
    }
    ItemCell* cell(int row) {
        return qobject_cast<ItemCell*>(
            list->tableView()->cellForRowAtIndexPath(ui::IndexPath::forRow(row, 0)));
    }
    void tapRow(int row) {
        ASSERT_NE(cell(row), nullptr) << row;
        test::tap(cell(row));
        test::drainMainQueue();
    }
    std::set<int> shownSelected() {
        std::set<int> rows;
        for (const auto& indexPath : list->tableView()->indexPathsForSelectedRows())
            rows.insert(indexPath.row());
        return rows;
    }
};

TEST_F(MultiSelectTest, WithoutADelegateEverySelectionStandsAndAnEmptyStartTakesTaps) {
    show(std::nullopt, false);
    EXPECT_TRUE(list->indexesForSelectedRows().empty());
    tapRow(1);
    tapRow(3);
    EXPECT_EQ(list->indexesForSelectedRows(), (std::set<int>{1, 3}));
    EXPECT_EQ(shownSelected(), (std::set<int>{1, 3}));
    EXPECT_FALSE(cell(1)->checkmarkLabel()->isHidden());
    EXPECT_TRUE(cell(0)->checkmarkLabel()->isHidden());
    test::saveScreenshot(navigation->view(), QStringLiteral("MultiSelectViewController"));
}

TEST_F(MultiSelectTest, RowsSetBeforeTheViewLoadedAreSelectedWhenTheScreenAppears) {
    list->setIndexesForSelectedRows(std::set<int>{0, 4});
    EXPECT_FALSE(list->isViewLoaded());
    list->setItems(colours);
    navigation->pushViewController(list, true);
    test::drainAnimations();
    list->view()->layoutIfNeeded();
    EXPECT_EQ(shownSelected(), (std::set<int>{0, 4}));
    EXPECT_EQ(list->view()->backgroundColor(), tovrinGrayBlack1Color());
}

TEST_F(MultiSelectTest, AYesUndoesTheSelectionWithoutTellingTheDelegateAgain) {
    show(std::set<int>{0});
    delegate->answers.push_back(Promise<bool>::resolved(true));
    tapRow(2);
    ASSERT_EQ(delegate->seen.size(), 1u);
    EXPECT_EQ(delegate->seen[0], (std::set<int>{0, 2}));
    EXPECT_EQ(list->indexesForSelectedRows(), (std::set<int>{0}));
    EXPECT_EQ(shownSelected(), (std::set<int>{0}));
    EXPECT_FALSE(cell(2)->isSelected());
    EXPECT_TRUE(cell(2)->checkmarkLabel()->isHidden());
}

TEST_F(MultiSelectTest, NoAndAFailingPromiseLeaveTheSelectionStanding) {
    show(std::nullopt);
    delegate->answers.push_back(Promise<bool>::resolved(false));
    delegate->answers.push_back(Promise<bool>::rejected(Error(QStringLiteral("Test"), 1)));
    tapRow(1);
    tapRow(4);
    EXPECT_EQ(delegate->seen.size(), 2u);
    EXPECT_EQ(list->indexesForSelectedRows(), (std::set<int>{1, 4}));
    EXPECT_EQ(shownSelected(), (std::set<int>{1, 4}));
}

TEST_F(MultiSelectTest, ADeselectionTellsTheDelegateAndIsNeverUndone) {
    show(std::set<int>{1, 3});
    delegate->answers.push_back(Promise<bool>::resolved(true));
    tapRow(3);
    ASSERT_EQ(delegate->seen.size(), 1u);
    EXPECT_EQ(delegate->seen[0], (std::set<int>{1}));
    EXPECT_EQ(list->indexesForSelectedRows(), (std::set<int>{1}));
    EXPECT_EQ(shownSelected(), (std::set<int>{1}));
}

TEST_F(MultiSelectTest, AHeldYesSettlingAfterOtherTapsUndoesExactlyItsRow) {
    show(std::nullopt);
    auto [held, resolver] = Promise<bool>::pending();
    delegate->answers.push_back(held);
    tapRow(2);
    tapRow(4);
    tapRow(0);
    EXPECT_EQ(list->indexesForSelectedRows(), (std::set<int>{0, 2, 4}));
    resolver.fulfill(true);
    test::drainMainQueue();
    EXPECT_EQ(list->indexesForSelectedRows(), (std::set<int>{0, 4}));
    EXPECT_EQ(shownSelected(), (std::set<int>{0, 4}));
    EXPECT_EQ(delegate->seen.size(), 3u);
}

TEST_F(MultiSelectTest, AnUndoKeepsTheListAliveAfterItLeftItsNavigationStack) {
    show(std::nullopt);
    auto [held, resolver] = Promise<bool>::pending();
    delegate->answers.push_back(held);
    tapRow(1);
    navigation->popViewControllerAnimated(false);
    test::drainAnimations();
    std::weak_ptr<MultiSelectViewController> gone = list;
    list.reset();
    test::drainMainQueue();
    EXPECT_FALSE(gone.expired());
    resolver.fulfill(true);
    test::drainMainQueue();
    EXPECT_TRUE(test::runUntil([&] { return gone.expired(); }));
}

TEST_F(MultiSelectTest, NamesThePageAndSpeaksTheSelectedState) {
    show(std::set<int>{1});
    EXPECT_EQ(list->title(), QStringLiteral("Colours"));
    EXPECT_EQ(list->navigationItem().accessibilityLabel(), QStringLiteral("Colours"));
    EXPECT_EQ(list->view()->accessibilityIdentifier(), QStringLiteral("Colours page"));
    EXPECT_EQ(list->view()->accessibilityLabel(), QStringLiteral("Colours page"));
    EXPECT_EQ(cell(1)->accessibilityLabel(), QStringLiteral("Green"));
    EXPECT_EQ(cell(1)->accessibilityValue(), QStringLiteral("Selected"));
    EXPECT_EQ(cell(0)->accessibilityValue(), QString());
    EXPECT_DOUBLE_EQ(cell(0)->frame().height(), ItemCell::Height);
    EXPECT_TRUE(cell(0)->showsBottomSeparator());
    cell(0)->setShowsBottomSeparator(false);
    EXPECT_TRUE(cell(0)->separatorView()->isHidden());
}

}  // namespace
}  // namespace tovrin
