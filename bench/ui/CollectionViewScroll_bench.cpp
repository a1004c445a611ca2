#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QImage>
#include <QListView>
#include <QScrollBar>
#include <QStringListModel>
#include <functional>

#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/scrolling/CollectionView.h"
#include "platform/ui/scrolling/CollectionViewFlowLayout.h"
#include "platform/ui/text/Label.h"
#include "platform/ui/views/Window.h"

// Scrolling a grid of 10,000 tiles (three to a row) through its whole length. A frame moves the
// content by a step, lays out (reusing cells) and paints the whole window into an image (the
// offscreen platform has no screen to wait for). One iteration is the whole length; the counters
// give the mean and the worst time per frame, against the budget of 16 ms, and the items each
// frame moves past, which both variants must share for their times to compare.
namespace {

using namespace tovrin::ui;

constexpr int Items = 10000;
constexpr int Step = 40;
constexpr int Columns = 3;
// A tile and the gap after it: both variants lay out rows at this pitch on the phone's width.
constexpr int Tile = 124;
constexpr int Spacing = 1;
constexpr int Pitch = Tile + Spacing;
constexpr int ScreenWidth = 375;
constexpr int ScreenHeight = 667;

class TileCell : public CollectionViewCell {
public:
    TileCell() : label(new Label(contentView())) { setBackgroundColor(QColor(66, 66, 69)); }
    Label* label;

protected:
    void layoutSubviews() override {
        CollectionViewCell::layoutSubviews();
        label->setFrame(QRectF(8, bounds().height() - 28, bounds().width() - 16, 22));
    }
};

class Tiles : public CollectionViewDataSource {
public:
    int numberOfItemsInSection(CollectionView&, int) override { return Items; }
    CollectionViewCell* cellForItemAtIndexPath(CollectionView& view, const IndexPath& path) override {
        auto* tile = view.dequeueReusableCell<TileCell>(QStringLiteral("tile"), path);
        tile->label->setText(QStringLiteral("Member %1").arg(path.item));
        return tile;
    }
};

// Runs frames from the top to the end and reports the times per frame.
void scrollThrough(benchmark::State& state, int end, const std::function<void(int offset)>& frame) {
    qint64 frames = 0;
    qint64 worst = 0;
    qint64 total = 0;
    for (auto _ : state) {
        for (int offset = 0; offset <= end; offset += Step) {
            QElapsedTimer timer;
            timer.start();
            frame(offset);
            const qint64 elapsed = timer.nsecsElapsed();
            worst = std::max(worst, elapsed);
            total += elapsed;
            ++frames;
        }
    }
    state.counters["frames"] = double(frames) / double(state.iterations());
    state.counters["items_per_frame"] = double(Items) * double(state.iterations()) / double(frames);
    state.counters["ms_per_frame"] = double(total) / 1e6 / double(std::max<qint64>(1, frames));
    state.counters["worst_ms_per_frame"] = double(worst) / 1e6;
}

void CollectionViewScroll_ours(benchmark::State& state) {
    ImmediateAnimations immediate;
    Window window(nullptr);
    auto layout = std::make_shared<CollectionViewFlowLayout>();
    layout->setItemSize(QSizeF(Tile, Tile));
    layout->setMinimumInteritemSpacing(Spacing);
    layout->setMinimumLineSpacing(Spacing);
    auto* grid = new CollectionView(layout);
    grid->registerCell(QStringLiteral("tile"), [] { return new TileCell(); });
    grid->setFrame(window.bounds());
    window.addSubview(grid);
    auto tiles = std::make_shared<Tiles>();
    grid->setDataSource(tiles);
    window.show();
    grid->layoutIfNeeded();
    QImage image(window.size(), QImage::Format_ARGB32_Premultiplied);
    scrollThrough(state, int(grid->maximumContentOffset().y()), [&](int offset) {
        grid->setContentOffset(QPointF(0, offset));
        grid->layoutIfNeeded();
        window.render(&image);
    });
    state.counters["cells_built"] = grid->cellsBuilt();
}

void CollectionViewScroll_baseline(benchmark::State& state) {
    QStringList names;
    for (int item = 0; item < Items; ++item) names << QStringLiteral("Member %1").arg(item);
    QStringListModel model(names);
    QListView view;
    view.setViewMode(QListView::IconMode);
    // The list view wraps a row once it would reach the last pixel column, so three cells of the
    // full pitch need one pixel more than the phone's width; one pixel less across keeps three.
    view.setGridSize(QSize(Pitch - 1, Pitch));
    view.setUniformItemSizes(true);
    view.setMovement(QListView::Static);
    view.setResizeMode(QListView::Adjust);
    view.setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    // The whole width for the grid, as ours has it: a frame or a scroll bar would leave room for
    // two tiles a row, and each frame would move past fewer items.
    view.setFrameShape(QFrame::NoFrame);
    view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.setModel(&model);
    view.resize(ScreenWidth, ScreenHeight);
    view.show();
    view.doItemsLayout();
    const auto rowOf = [&](int item) { return view.visualRect(model.index(item)).top(); };
    if (rowOf(Columns - 1) != rowOf(0) || rowOf(Columns) == rowOf(0)) {
        state.SkipWithError("the baseline's rows do not hold as many tiles as ours");
        return;
    }
    QScrollBar* bar = view.verticalScrollBar();
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    scrollThrough(state, bar->maximum(), [&](int offset) {
        bar->setValue(offset);
        view.render(&image);
    });
}

}  // namespace

BENCHMARK(CollectionViewScroll_ours)
    ->Name("CollectionViewScroll/ours")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);
BENCHMARK(CollectionViewScroll_baseline)
    ->Name("CollectionViewScroll/baseline")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);
