#include "platform/ui/scrolling/CollectionView.h"

#include <algorithm>

#include "platform/foundation/Error.h"
#include "platform/ui/animation/ViewAnimation.h"

namespace tovrin::ui {
namespace {

constexpr double UpdateAnimationDuration = 0.3;

QString supplementaryPoolKey(const QString& kind, const QString& identifier) {
    return kind + u'\x1f' + identifier;
}

QString describe(const IndexPath& indexPath) {
    return QStringLiteral("%1.%2").arg(indexPath.section).arg(indexPath.item);
}

}  // namespace

const QString CollectionView::ElementKindSectionHeader = QStringLiteral("CollectionElementKindSectionHeader");
const QString CollectionView::ElementKindSectionFooter = QStringLiteral("CollectionElementKindSectionFooter");

void CollectionViewLayout::invalidateLayout() {
    if (collectionView_) collectionView_->invalidateLayout();
}

bool CollectionView::Updates::empty() const {
    return insertedItems.empty() && deletedItems.empty() && reloadedItems.empty() &&
           insertedSections.empty() && deletedSections.empty() && reloadedSections.empty();
}

CollectionView::CollectionView(std::shared_ptr<CollectionViewLayout> layout, QWidget* parent)
    : ScrollView(parent) {
    setCollectionViewLayout(std::move(layout));
    setBackgroundColor(Qt::black);
}

CollectionView::~CollectionView() {
    if (layout_) layout_->collectionView_ = nullptr;
}

void CollectionView::setCollectionViewLayout(std::shared_ptr<CollectionViewLayout> layout) {
    TVR_ASSERT(layout != nullptr, "A collection view needs a layout");
    if (layout_) layout_->collectionView_ = nullptr;
    layout_ = std::move(layout);
    layout_->collectionView_ = this;
    invalidateLayout();
}

void CollectionView::setDataSource(std::weak_ptr<CollectionViewDataSource> dataSource) {
    dataSource_ = std::move(dataSource);
    reloadData();
}

void CollectionView::setDelegate(std::weak_ptr<CollectionViewDelegate> delegate) {
    delegate_ = delegate;
    ScrollView::setDelegate(std::weak_ptr<ScrollViewDelegate>(delegate));
    invalidateLayout();
}

void CollectionView::registerCell(const QString& identifier, std::function<CollectionViewCell*()> builder) {
    cellBuilders_[identifier] = std::move(builder);
}

void CollectionView::registerSupplementaryView(const QString& kind, const QString& identifier,
                                               std::function<CollectionReusableView*()> builder) {
    supplementaryBuilders_[supplementaryPoolKey(kind, identifier)] = std::move(builder);
}

CollectionReusableView* CollectionView::take(const QString& poolKey) {
    auto& pool = pools_[poolKey];
    while (!pool.empty()) {
        QPointer<CollectionReusableView> view = pool.back();
        pool.pop_back();
        if (!view) continue;
        view->prepareForReuse();
        return view;
    }
    return nullptr;
}

CollectionViewCell* CollectionView::dequeueReusableCell(const QString& identifier, const IndexPath&) {
    if (auto* reused = qobject_cast<CollectionViewCell*>(take(identifier))) return reused;
    auto builder = cellBuilders_.find(identifier);
    TVR_ASSERT(builder != cellBuilders_.end(), "No cell is registered for the identifier " + identifier);
    CollectionViewCell* cell = builder->second();
    TVR_ASSERT(cell != nullptr, "The cell builder for " + identifier + " made no cell");
    cell->reuseIdentifier_ = identifier;
    ++cellsBuilt_;
    ViewAnimation::performWithoutAnimation([&] { addSubview(cell); });
    return cell;
}

CollectionReusableView* CollectionView::dequeueReusableSupplementaryView(const QString& kind,
                                                                         const QString& identifier,
                                                                         const IndexPath&) {
    const QString key = supplementaryPoolKey(kind, identifier);
    if (auto* reused = take(key)) return reused;
    auto builder = supplementaryBuilders_.find(key);
    TVR_ASSERT(builder != supplementaryBuilders_.end(),
               "No supplementary view is registered for " + kind + " " + identifier);
    CollectionReusableView* view = builder->second();
    TVR_ASSERT(view != nullptr, "The builder for " + identifier + " made no view");
    view->reuseIdentifier_ = key;
    ViewAnimation::performWithoutAnimation([&] { addSubview(view); });
    return view;
}

void CollectionView::recycle(CollectionReusableView* view, const QString& poolKey) {
    if (!view) return;
    view->hide();
    pools_[poolKey].push_back(view);
}

void CollectionView::recycleAll() {
    auto delegate = delegate_.lock();
    auto cells = std::move(visibleCells_);
    visibleCells_.clear();
    for (auto& [indexPath, cell] : cells) {
        if (!cell) continue;
        if (delegate) delegate->didEndDisplayingCell(*this, *cell, indexPath);
        recycle(cell, cell->reuseIdentifier());
    }
    auto views = std::move(visibleSupplementary_);
    visibleSupplementary_.clear();
    for (auto& [key, view] : views) {
        if (!view) continue;
        if (delegate) delegate->didEndDisplayingSupplementaryView(*this, *view, key.first, key.second);
        recycle(view, view->reuseIdentifier());
    }
}

void CollectionView::reloadData() {
    reloadPending_ = true;
    countsValid_ = false;
    invalidateLayout();
}

void CollectionView::invalidateLayout() {
    layoutValid_ = false;
    setNeedsLayout();
}

void CollectionView::ensureCounts() const {
    if (countsValid_) return;
    countsValid_ = true;
    counts_.clear();
    auto source = dataSource_.lock();
    if (!source) return;
    auto& self = const_cast<CollectionView&>(*this);
    const int sections = std::max(0, source->numberOfSections(self));
    for (int section = 0; section < sections; ++section) {
        counts_.push_back(std::max(0, source->numberOfItemsInSection(self, section)));
    }
}

int CollectionView::numberOfSections() const {
    ensureCounts();
    return int(counts_.size());
}

int CollectionView::numberOfItemsInSection(int section) const {
    ensureCounts();
    return section >= 0 && section < int(counts_.size()) ? counts_[size_t(section)] : 0;
}

void CollectionView::prepareLayoutIfNeeded() {
    if (reloadPending_) {
        reloadPending_ = false;
        recycleAll();
        std::erase_if(selected_, [this](const IndexPath& path) {
            return path.item >= numberOfItemsInSection(path.section);
        });
    }
    if (bounds().size() != lastBounds_.size() &&
        layout_->shouldInvalidateLayoutForBoundsChange(lastBounds_, bounds())) {
        layoutValid_ = false;
    }
    lastBounds_ = bounds();
    if (layoutValid_) return;
    layoutValid_ = true;
    ensureCounts();
    layout_->prepareLayout();
    setContentSize(layout_->collectionViewContentSize());
}

void CollectionView::layoutSubviews() {
    prepareLayoutIfNeeded();
    updateVisibleViews();
    ScrollView::layoutSubviews();
}

void CollectionView::contentOffsetDidChange() {
    if (!layoutValid_ || reloadPending_) {
        setNeedsLayout();
        return;
    }
    updateVisibleViews();
}

void CollectionView::updateVisibleViews() {
    if (updatingViews_) return;
    updatingViews_ = true;
    auto source = dataSource_.lock();
    auto delegate = delegate_.lock();
    QPointer<CollectionView> self(this);
    const auto attributes = layout_->layoutAttributesForElementsInRect(bounds());
    std::set<IndexPath> wantedCells;
    std::set<SupplementaryKey> wantedViews;
    for (const auto& attribute : attributes) {
        if (attribute.isCell()) {
            wantedCells.insert(attribute.indexPath);
        } else {
            wantedViews.insert({attribute.representedElementKind, attribute.indexPath});
        }
    }
    // Views that left the visible area go back to their pools first, so the new ones reuse them.
    for (auto it = visibleCells_.begin(); it != visibleCells_.end();) {
        if (wantedCells.contains(it->first) && it->second) {
            ++it;
            continue;
        }
        if (it->second) {
            if (delegate) delegate->didEndDisplayingCell(*this, *it->second, it->first);
            recycle(it->second, it->second->reuseIdentifier());
        }
        it = visibleCells_.erase(it);
    }
    for (auto it = visibleSupplementary_.begin(); it != visibleSupplementary_.end();) {
        if (wantedViews.contains(it->first) && it->second) {
            ++it;
            continue;
        }
        if (it->second) {
            if (delegate)
                delegate->didEndDisplayingSupplementaryView(*this, *it->second, it->first.first,
                                                            it->first.second);
            recycle(it->second, it->second->reuseIdentifier());
        }
        it = visibleSupplementary_.erase(it);
    }
    for (const auto& attribute : attributes) {
        if (!self) return;
        CollectionReusableView* view = nullptr;
        bool added = false;
        if (attribute.isCell()) {
            auto found = visibleCells_.find(attribute.indexPath);
            if (found != visibleCells_.end()) {
                view = found->second;
            } else if (source) {
                CollectionViewCell* cell = source->cellForItemAtIndexPath(*this, attribute.indexPath);
                TVR_ASSERT(
                    cell && cell->parentWidget() == this,
                    "The data source must return a dequeued cell for " + describe(attribute.indexPath));
                cell->setSelected(selected_.contains(attribute.indexPath));
                cell->setHighlighted(highlighted_ == attribute.indexPath);
                visibleCells_[attribute.indexPath] = cell;
                view = cell;
                added = true;
            }
        } else {
            const SupplementaryKey key{attribute.representedElementKind, attribute.indexPath};
            auto found = visibleSupplementary_.find(key);
            if (found != visibleSupplementary_.end()) {
                view = found->second;
            } else if (source) {
                view = source->viewForSupplementaryElement(*this, key.first, key.second);
                if (view) {
                    visibleSupplementary_[key] = view;
                    added = true;
                }
            }
        }
        if (!view) continue;
        if (added) {
            // A newly shown view starts in place and fades in when the change is animated.
            ViewAnimation::performWithoutAnimation([&] {
                view->setFrame(attribute.frame);
                if (ViewAnimation::isCapturing()) view->setAlpha(0);
            });
            view->show();
            view->setAlpha(1);
            view->layoutIfNeeded();
            if (delegate && attribute.isCell()) {
                delegate->willDisplayCell(*this, *qobject_cast<CollectionViewCell*>(view),
                                          attribute.indexPath);
            } else if (delegate) {
                delegate->willDisplaySupplementaryView(*this, *view, attribute.representedElementKind,
                                                       attribute.indexPath);
            }
        } else {
            view->setFrame(attribute.frame);
        }
    }
    if (self) updatingViews_ = false;
}

std::vector<CollectionViewCell*> CollectionView::visibleCells() const {
    std::vector<CollectionViewCell*> cells;
    for (const auto& [indexPath, cell] : visibleCells_) {
        if (cell) cells.push_back(cell);
    }
    return cells;
}

std::vector<IndexPath> CollectionView::indexPathsForVisibleItems() const {
    std::vector<IndexPath> paths;
    for (const auto& [indexPath, cell] : visibleCells_) {
        if (cell) paths.push_back(indexPath);
    }
    return paths;
}

CollectionViewCell* CollectionView::cellForItemAtIndexPath(const IndexPath& indexPath) const {
    auto found = visibleCells_.find(indexPath);
    return found == visibleCells_.end() ? nullptr : found->second.data();
}

std::optional<IndexPath> CollectionView::indexPathForCell(const CollectionViewCell* cell) const {
    for (const auto& [indexPath, visible] : visibleCells_) {
        if (visible == cell) return indexPath;
    }
    return std::nullopt;
}

std::optional<IndexPath> CollectionView::indexPathForItemAtPoint(const QPointF& point) const {
    for (const auto& attribute : layout_->layoutAttributesForElementsInRect(QRectF(point, QSizeF(1, 1)))) {
        if (attribute.isCell() && attribute.frame.contains(point)) return attribute.indexPath;
    }
    return std::nullopt;
}

CollectionReusableView* CollectionView::supplementaryView(const QString& kind,
                                                          const IndexPath& indexPath) const {
    auto found = visibleSupplementary_.find({kind, indexPath});
    return found == visibleSupplementary_.end() ? nullptr : found->second.data();
}

void CollectionView::scrollToItem(const IndexPath& indexPath, ScrollPosition position, bool animated) {
    layoutIfNeeded();
    auto attributes = layout_->layoutAttributesForItem(indexPath);
    if (!attributes) return;
    const QRectF frame = attributes->frame;
    const double height = bounds().height();
    QPointF offset = contentOffset();
    switch (position) {
        case ScrollPosition::Top:
            offset.setY(frame.top() - contentInset().top);
            break;
        case ScrollPosition::CenteredVertically:
            offset.setY(frame.center().y() - (height - contentInset().bottom + contentInset().top) / 2);
            break;
        case ScrollPosition::Bottom:
            offset.setY(frame.bottom() - height + contentInset().bottom);
            break;
    }
    offset.setY(std::clamp(offset.y(), minimumContentOffset().y(), maximumContentOffset().y()));
    setContentOffset(offset, animated);
}

void CollectionView::performBatchUpdates(const std::function<void()>& updates,
                                         std::function<void(bool)> completion) {
    beginBatchUpdates();
    if (updates) updates();
    endBatchUpdates(std::move(completion));
}

void CollectionView::beginBatchUpdates() {
    if (batchDepth_ == 0) pending_ = Updates();
    ++batchDepth_;
}

void CollectionView::endBatchUpdates(std::function<void(bool)> completion) {
    if (batchDepth_ == 0 || --batchDepth_ > 0) return;
    Updates recorded = std::move(pending_);
    pending_ = Updates();
    applyUpdates(std::move(recorded), std::move(completion));
}

void CollectionView::record(const std::function<void(Updates&)>& change) {
    if (batchDepth_ > 0) {
        change(pending_);
        return;
    }
    performBatchUpdates([&] { change(pending_); });
}

void CollectionView::insertItems(const std::vector<IndexPath>& indexPaths) {
    record([&](Updates& updates) { updates.insertedItems.insert(indexPaths.begin(), indexPaths.end()); });
}

void CollectionView::deleteItems(const std::vector<IndexPath>& indexPaths) {
    record([&](Updates& updates) { updates.deletedItems.insert(indexPaths.begin(), indexPaths.end()); });
}

void CollectionView::reloadItems(const std::vector<IndexPath>& indexPaths) {
    record([&](Updates& updates) { updates.reloadedItems.insert(indexPaths.begin(), indexPaths.end()); });
}

void CollectionView::insertSections(const std::set<int>& sections) {
    record([&](Updates& updates) { updates.insertedSections.insert(sections.begin(), sections.end()); });
}

void CollectionView::deleteSections(const std::set<int>& sections) {
    record([&](Updates& updates) { updates.deletedSections.insert(sections.begin(), sections.end()); });
}

void CollectionView::reloadSections(const std::set<int>& sections) {
    record([&](Updates& updates) { updates.reloadedSections.insert(sections.begin(), sections.end()); });
}

namespace {

// Where an old section lands after deletions and insertions; none when it was deleted.
std::optional<int> mapSection(int section, const std::set<int>& deleted, const std::set<int>& inserted) {
    if (deleted.contains(section)) return std::nullopt;
    int mapped = section -
                 int(std::count_if(deleted.begin(), deleted.end(), [section](int d) { return d < section; }));
    for (int insertedSection : inserted) {
        if (insertedSection <= mapped) ++mapped;
    }
    return mapped;
}

}  // namespace

std::optional<IndexPath> CollectionView::mapIndexPath(const IndexPath& old, const Updates& updates,
                                                      const std::vector<int>&) const {
    if (updates.reloadedSections.contains(old.section) || updates.deletedItems.contains(old) ||
        updates.reloadedItems.contains(old)) {
        return std::nullopt;
    }
    const auto section = mapSection(old.section, updates.deletedSections, updates.insertedSections);
    if (!section) return std::nullopt;
    int item = old.item;
    for (const auto& deleted : updates.deletedItems) {
        if (deleted.section == old.section && deleted.item < old.item) --item;
    }
    for (const auto& inserted : updates.insertedItems) {
        if (inserted.section == *section && inserted.item <= item) ++item;
    }
    return IndexPath{*section, item};
}

void CollectionView::applyUpdates(Updates updates, std::function<void(bool)> completion) {
    ensureCounts();
    const std::vector<int> oldCounts = counts_;
    countsValid_ = false;
    ensureCounts();
    // Every surviving old section must count what the update says.
    for (int section = 0; section < int(oldCounts.size()); ++section) {
        if (updates.reloadedSections.contains(section)) continue;
        const auto mapped = mapSection(section, updates.deletedSections, updates.insertedSections);
        if (!mapped) continue;
        const int deleted =
            int(std::count_if(updates.deletedItems.begin(), updates.deletedItems.end(),
                              [section](const IndexPath& path) { return path.section == section; }));
        const int inserted =
            int(std::count_if(updates.insertedItems.begin(), updates.insertedItems.end(),
                              [&](const IndexPath& path) { return path.section == *mapped; }));
        const int expected = oldCounts[size_t(section)] - deleted + inserted;
        const int actual = *mapped < int(counts_.size()) ? counts_[size_t(*mapped)] : -1;
        TVR_ASSERT(actual == expected,
                   QStringLiteral("Invalid update of section %1: it held %2 items, %3 were deleted "
                                  "and %4 inserted, but the data source now counts %5")
                       .arg(section)
                       .arg(oldCounts[size_t(section)])
                       .arg(deleted)
                       .arg(inserted)
                       .arg(actual));
    }
    const int expectedSections =
        int(oldCounts.size()) - int(updates.deletedSections.size()) + int(updates.insertedSections.size());
    TVR_ASSERT(expectedSections == int(counts_.size()),
               QStringLiteral("Invalid update: %1 sections expected, the data source counts %2")
                   .arg(expectedSections)
                   .arg(counts_.size()));

    auto delegate = delegate_.lock();
    std::map<IndexPath, QPointer<CollectionViewCell>> kept;
    for (auto& [indexPath, cell] : visibleCells_) {
        if (!cell) continue;
        if (auto mapped = mapIndexPath(indexPath, updates, oldCounts)) {
            kept[*mapped] = cell;
        } else {
            if (delegate) delegate->didEndDisplayingCell(*this, *cell, indexPath);
            recycle(cell, cell->reuseIdentifier());
        }
    }
    visibleCells_ = std::move(kept);
    std::set<IndexPath> selected;
    for (const auto& indexPath : selected_) {
        if (auto mapped = mapIndexPath(indexPath, updates, oldCounts)) selected.insert(*mapped);
    }
    selected_ = std::move(selected);
    highlighted_.reset();
    // Supplementary views are asked for again.
    for (auto& [key, view] : visibleSupplementary_) {
        if (!view) continue;
        if (delegate) delegate->didEndDisplayingSupplementaryView(*this, *view, key.first, key.second);
        recycle(view, view->reuseIdentifier());
    }
    visibleSupplementary_.clear();

    layoutValid_ = false;
    QPointer<CollectionView> self(this);
    auto relayout = [self] {
        if (!self) return;
        self->prepareLayoutIfNeeded();
        self->setContentOffset(self->clamped(self->contentOffset()));
        self->updateVisibleViews();
    };
    if (ViewAnimation::areAnimationsEnabled()) {
        ViewAnimation::animate(UpdateAnimationDuration, relayout, std::move(completion));
    } else {
        relayout();
        if (completion) MainQueue::async([completion] { completion(true); });
    }
}

std::vector<IndexPath> CollectionView::indexPathsForSelectedItems() const {
    return {selected_.begin(), selected_.end()};
}

void CollectionView::select(const IndexPath& indexPath, bool notify) {
    if (!allowsMultipleSelection_) {
        const auto others = selected_;
        for (const auto& other : others) {
            if (other != indexPath) deselect(other, notify);
        }
    }
    selected_.insert(indexPath);
    if (auto* cell = cellForItemAtIndexPath(indexPath)) cell->setSelected(true);
    if (auto delegate = delegate_.lock(); notify && delegate) delegate->didSelectItem(*this, indexPath);
}

void CollectionView::deselect(const IndexPath& indexPath, bool notify) {
    if (!selected_.erase(indexPath)) return;
    if (auto* cell = cellForItemAtIndexPath(indexPath)) cell->setSelected(false);
    if (auto delegate = delegate_.lock(); notify && delegate) delegate->didDeselectItem(*this, indexPath);
}

void CollectionView::selectItem(const IndexPath& indexPath, bool animated,
                                std::optional<ScrollPosition> position) {
    if (!allowsSelection_) return;
    select(indexPath, false);
    if (position) scrollToItem(indexPath, *position, animated);
}

void CollectionView::deselectItem(const IndexPath& indexPath, bool) {
    deselect(indexPath, false);
}

void CollectionView::setHighlightedItem(std::optional<IndexPath> indexPath) {
    if (highlighted_ == indexPath) return;
    auto delegate = delegate_.lock();
    if (highlighted_) {
        const IndexPath previous = *highlighted_;
        highlighted_.reset();
        if (auto* cell = cellForItemAtIndexPath(previous)) cell->setHighlighted(false);
        if (delegate) delegate->didUnhighlightItem(*this, previous);
    }
    if (indexPath) {
        highlighted_ = indexPath;
        if (auto* cell = cellForItemAtIndexPath(*indexPath)) cell->setHighlighted(true);
        if (delegate) delegate->didHighlightItem(*this, *indexPath);
    }
}

void CollectionView::touchesBegan(const Touches& touches) {
    touchedItem_ =
        allowsSelection_ ? indexPathForItemAtPoint(touches.front().locationInView(this)) : std::nullopt;
    if (!touchedItem_) return;
    auto delegate = delegate_.lock();
    if (!delegate || delegate->shouldHighlightItem(*this, *touchedItem_)) setHighlightedItem(touchedItem_);
}

void CollectionView::touchesEnded(const Touches& touches) {
    const auto touched = touchedItem_;
    touchedItem_.reset();
    setHighlightedItem(std::nullopt);
    if (!touched || indexPathForItemAtPoint(touches.front().locationInView(this)) != touched) return;
    auto delegate = delegate_.lock();
    QPointer<CollectionView> self(this);
    if (allowsMultipleSelection_ && selected_.contains(*touched)) {
        if (!delegate || delegate->shouldDeselectItem(*this, *touched)) deselect(*touched, true);
        return;
    }
    if (delegate && !delegate->shouldSelectItem(*this, *touched)) return;
    if (self) select(*touched, true);
}

void CollectionView::touchesCancelled(const Touches&) {
    touchedItem_.reset();
    setHighlightedItem(std::nullopt);
}

}  // namespace tovrin::ui
