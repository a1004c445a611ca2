#include <gtest/gtest.h>

#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/controllers/ViewController.h"
#include "platform/ui/scrolling/CollectionView.h"
#include "platform/ui/scrolling/CollectionViewFlowLayout.h"
#include "platform/ui/text/Label.h"
#include "platform/ui/views/Window.h"
#include "support/TestSupport.h"
#include "support/UITestSupport.h"

namespace tovrin::ui {
namespace {

class TileCell : public CollectionViewCell {
public:
    TileCell() : label(new Label(contentView())) {}
    void prepareForReuse() override { ++reuses; }
    Label* label;
    int reuses = 0;
};

// Items are numbers; the grid shows them as tiles of 100 × 100 points, three to a row.
class Tiles : public CollectionViewDataSource, public CollectionViewDelegate {
public:
    std::vector<int> items;
    std::vector<IndexPath> selected;
    int footers = 0;
    bool withFooter = false;

    int numberOfItemsInSection(CollectionView&, int) override { return int(items.size()); }
    CollectionViewCell* cellForItemAtIndexPath(CollectionView& view, const IndexPath& indexPath) override {
        auto* cell = view.dequeueReusableCell<TileCell>(QStringLiteral("tile"), indexPath);
        cell->label->setText(QString::number(items[size_t(indexPath.item)]));
        return cell;
    }
    CollectionReusableView* viewForSupplementaryElement(CollectionView& view, const QString& kind,
                                                        const IndexPath& indexPath) override {
        ++footers;
        return view.dequeueReusableSupplementaryView(kind, QStringLiteral("footer"), indexPath);
    }
    std::optional<QSizeF> referenceSizeForFooterInSection(CollectionView&, int) override {
        return withFooter ? std::optional(QSizeF(300, 100)) : std::nullopt;
    }
    void didSelectItem(CollectionView&, const IndexPath& indexPath) override {
        selected.push_back(indexPath);
    }
};

class CollectionViewTest : public testing::Test {
protected:
    ImmediateAnimations immediate;
    Window window{nullptr};
    std::shared_ptr<Tiles> tiles = std::make_shared<Tiles>();
    std::shared_ptr<CollectionViewFlowLayout> layout = std::make_shared<CollectionViewFlowLayout>();
    CollectionView* grid = nullptr;

    void SetUp() override {
        layout->setItemSize(QSizeF(100, 100));
        layout->setMinimumLineSpacing(10);
        layout->setMinimumInteritemSpacing(10);
        grid = new CollectionView(layout);
        grid->registerCell(QStringLiteral("tile"), [] { return new TileCell(); });
        grid->registerSupplementaryView(CollectionView::ElementKindSectionFooter, QStringLiteral("footer"),
                                        [] { return new CollectionReusableView(); });
        grid->setFrame(QRectF(0, 0, 320, 660));
        window.addSubview(grid);
        window.show();
        for (int item = 0; item < 10000; ++item) tiles->items.push_back(item);
        grid->setDataSource(tiles);
        grid->setDelegate(tiles);
        grid->layoutIfNeeded();
    }

    QStringList shownTexts() const {
        QStringList texts;
        for (const auto& indexPath : grid->indexPathsForVisibleItems()) {
            texts << dynamic_cast<TileCell*>(grid->cellForItemAtIndexPath(indexPath))->label->text();
        }
        return texts;
    }
};

TEST_F(CollectionViewTest, TenThousandItemsMakeOnlyTheCellsOnScreen) {
    // 660 points hold six rows of 110: 18 tiles.
    EXPECT_EQ(grid->numberOfItemsInSection(0), 10000);
    EXPECT_EQ(grid->visibleCells().size(), 18u);
    EXPECT_EQ(grid->cellsBuilt(), 18);
    EXPECT_DOUBLE_EQ(grid->contentSize().height(), 3334 * 110.0 - 10);
    EXPECT_EQ(grid->cellForItemAtIndexPath({0, 0})->frame(), QRectF(0, 0, 100, 100));
    EXPECT_EQ(grid->cellForItemAtIndexPath({0, 2})->frame(), QRectF(220, 0, 100, 100));
}

TEST_F(CollectionViewTest, ScrollingReusesCellsThatLeftTheScreen) {
    for (double offset = 0; offset < 110 * 500; offset += 55) test::scrollTo(grid, QPointF(0, offset));
    EXPECT_LE(grid->cellsBuilt(), 24);
    const auto visible = grid->indexPathsForVisibleItems();
    ASSERT_FALSE(visible.empty());
    EXPECT_EQ(visible.front(), (IndexPath{0, 1497}));
    EXPECT_EQ(shownTexts().front(), QStringLiteral("1497"));
    int reused = 0;
    for (auto* cell : grid->visibleCells()) reused += static_cast<TileCell*>(cell)->reuses;
    EXPECT_GT(reused, 0);
}

TEST_F(CollectionViewTest, BatchUpdatesKeepTheCellsOfTheItemsThatStay) {
    CollectionViewCell* second = grid->cellForItemAtIndexPath({0, 1});
    tiles->items.erase(tiles->items.begin());           // delete 0
    tiles->items.insert(tiles->items.begin() + 3, -1);  // insert at 3
    tiles->items[5] = 555;                              // reload what is now 5 (was 5)
    bool completed = false;
    grid->performBatchUpdates(
        [&] {
            grid->deleteItems({{0, 0}});
            grid->insertItems({{0, 3}});
            grid->reloadItems({{0, 5}});
        },
        [&](bool finished) { completed = finished; });
    test::drainAnimations();
    EXPECT_TRUE(completed);
    EXPECT_EQ(grid->cellForItemAtIndexPath({0, 0}), second);
    EXPECT_EQ(second->frame(), QRectF(0, 0, 100, 100));
    EXPECT_EQ(shownTexts().mid(0, 7), (QStringList{"1", "2", "3", "-1", "4", "555", "6"}));
    EXPECT_EQ(grid->numberOfItemsInSection(0), 10000);
}

TEST_F(CollectionViewTest, AnUpdateTheDataSourceDoesNotMatchStopsTheProcess) {
    EXPECT_DEATH({ grid->insertItems({{0, 0}}); }, "Invalid update of section 0");
}

TEST_F(CollectionViewTest, ReloadDataTakesEverythingAnewAtTheNextLayout) {
    tiles->items = {7, 8};
    grid->reloadData();
    EXPECT_EQ(grid->numberOfItemsInSection(0), 2);
    grid->layoutIfNeeded();
    EXPECT_EQ(shownTexts(), (QStringList{"7", "8"}));
    EXPECT_EQ(grid->visibleCells().size(), 2u);
}

TEST_F(CollectionViewTest, ATapSelectsTheItemUnderIt) {
    test::tap(grid->cellForItemAtIndexPath({0, 4}));
    ASSERT_EQ(tiles->selected.size(), 1u);
    EXPECT_EQ(tiles->selected.front(), (IndexPath{0, 4}));
    EXPECT_TRUE(grid->cellForItemAtIndexPath({0, 4})->isSelected());
    test::tap(grid->cellForItemAtIndexPath({0, 5}));
    EXPECT_EQ(grid->indexPathsForSelectedItems(), (std::vector<IndexPath>{{0, 5}}));
    EXPECT_FALSE(grid->cellForItemAtIndexPath({0, 4})->isSelected());
}

TEST_F(CollectionViewTest, TheFooterShowsOnlyWhenItsPlaceComesIntoSight) {
    tiles->items.resize(30);
    tiles->withFooter = true;
    grid->reloadData();
    grid->layoutIfNeeded();
    EXPECT_EQ(tiles->footers, 0);
    grid->scrollToItem({0, 29}, CollectionView::ScrollPosition::Bottom, false);
    EXPECT_EQ(grid->indexPathsForVisibleItems().back(), (IndexPath{0, 29}));
    test::scrollTo(grid, grid->maximumContentOffset());
    EXPECT_EQ(tiles->footers, 1);
    EXPECT_NE(grid->supplementaryView(CollectionView::ElementKindSectionFooter, {0, 0}), nullptr);
}

TEST(CollectionViewFlowLayout, RowsAreFilledAndSpreadAcrossTheWidth) {
    auto layout = std::make_shared<CollectionViewFlowLayout>();
    layout->setItemSize(QSizeF(93, 93));
    layout->setMinimumInteritemSpacing(1);
    layout->setMinimumLineSpacing(1);
    CollectionView grid(layout);
    auto tiles = std::make_shared<Tiles>();
    tiles->items = {0, 1, 2, 3, 4};
    grid.registerCell(QStringLiteral("tile"), [] { return new TileCell(); });
    grid.setFrame(QRectF(0, 0, 375, 400));
    grid.setDataSource(tiles);
    grid.layoutIfNeeded();
    // Four of 93 fill 375 with gaps of 1; the last row keeps the minimum spacing.
    EXPECT_EQ(grid.cellForItemAtIndexPath({0, 3})->frame(), QRectF(282, 0, 93, 93));
    EXPECT_EQ(grid.cellForItemAtIndexPath({0, 4})->frame(), QRectF(0, 94, 93, 93));
}

}  // namespace
}  // namespace tovrin::ui
