#pragma once

#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "platform/foundation/Error.h"
#include "platform/ui/scrolling/CollectionViewCell.h"
#include "platform/ui/scrolling/CollectionViewLayout.h"
#include "platform/ui/scrolling/ScrollView.h"

namespace tovrin::ui {

class CollectionView;

class CollectionViewDataSource {
public:
    virtual ~CollectionViewDataSource() = default;
    virtual int numberOfSections(CollectionView& collectionView) { return 1; }
    virtual int numberOfItemsInSection(CollectionView& collectionView, int section) = 0;
    // Returns a cell from `dequeueReusableCell`.
    virtual CollectionViewCell* cellForItemAtIndexPath(CollectionView& collectionView,
                                                       const IndexPath& indexPath) = 0;
    // Returns a view from `dequeueReusableSupplementaryView`, or null for none.
    virtual CollectionReusableView* viewForSupplementaryElement(CollectionView& collectionView,
                                                                const QString& kind,
                                                                const IndexPath& indexPath) {
        return nullptr;
    }
};

// Optional operations; the sizes of the flow layout answer nothing to let the layout's own values
// stand.
class CollectionViewDelegate : public ScrollViewDelegate {
public:
    virtual bool shouldHighlightItem(CollectionView& collectionView, const IndexPath& indexPath) {
        return true;
    }
    virtual void didHighlightItem(CollectionView& collectionView, const IndexPath& indexPath) {}
    virtual void didUnhighlightItem(CollectionView& collectionView, const IndexPath& indexPath) {}
    virtual bool shouldSelectItem(CollectionView& collectionView, const IndexPath& indexPath) { return true; }
    virtual void didSelectItem(CollectionView& collectionView, const IndexPath& indexPath) {}
    virtual bool shouldDeselectItem(CollectionView& collectionView, const IndexPath& indexPath) {
        return true;
    }
    virtual void didDeselectItem(CollectionView& collectionView, const IndexPath& indexPath) {}
    virtual void willDisplayCell(CollectionView& collectionView, CollectionViewCell& cell,
                                 const IndexPath& indexPath) {}
    virtual void didEndDisplayingCell(CollectionView& collectionView, CollectionViewCell& cell,
                                      const IndexPath& indexPath) {}
    virtual void willDisplaySupplementaryView(CollectionView& collectionView, CollectionReusableView& view,
                                              const QString& kind, const IndexPath& indexPath) {}
    virtual void didEndDisplayingSupplementaryView(CollectionView& collectionView,
                                                   CollectionReusableView& view, const QString& kind,
                                                   const IndexPath& indexPath) {}

    virtual std::optional<QSizeF> sizeForItemAtIndexPath(CollectionView& collectionView,
                                                         const IndexPath& indexPath) {
        return std::nullopt;
    }
    virtual std::optional<EdgeInsets> insetForSection(CollectionView& collectionView, int section) {
        return std::nullopt;
    }
    virtual std::optional<double> minimumLineSpacingForSection(CollectionView& collectionView, int section) {
        return std::nullopt;
    }
    virtual std::optional<double> minimumInteritemSpacingForSection(CollectionView& collectionView,
                                                                    int section) {
        return std::nullopt;
    }
    virtual std::optional<QSizeF> referenceSizeForHeaderInSection(CollectionView& collectionView,
                                                                  int section) {
        return std::nullopt;
    }
    virtual std::optional<QSizeF> referenceSizeForFooterInSection(CollectionView& collectionView,
                                                                  int section) {
        return std::nullopt;
    }
};

// A scrolling grid of cells placed by a layout. Only the cells and supplementary views inside the
// visible area exist as widgets; the others wait, hidden, in reuse pools by identifier. Cells are
// made by the builder registered for their identifier ("nibs" become builder functions).
//
// Changes: `reloadData()` takes everything anew at the next layout; batch updates (insert, delete,
// reload of items and sections) keep the cells of the items that stay and animate them to their new
// places, unless run inside `ViewAnimation::performWithoutAnimation`. After an update the data
// source must count what the update says, or the process stops (a programming error).
class CollectionView : public ScrollView {
    Q_OBJECT
public:
    static const QString ElementKindSectionHeader;
    static const QString ElementKindSectionFooter;
    enum class ScrollPosition { Top, CenteredVertically, Bottom };

    explicit CollectionView(std::shared_ptr<CollectionViewLayout> layout, QWidget* parent = nullptr);
    ~CollectionView() override;

    CollectionViewLayout& collectionViewLayout() const { return *layout_; }
    void setCollectionViewLayout(std::shared_ptr<CollectionViewLayout> layout);
    std::shared_ptr<CollectionViewDataSource> dataSource() const { return dataSource_.lock(); }
    void setDataSource(std::weak_ptr<CollectionViewDataSource> dataSource);
    std::shared_ptr<CollectionViewDelegate> collectionDelegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<CollectionViewDelegate> delegate);

    void registerCell(const QString& identifier, std::function<CollectionViewCell*()> builder);
    void registerSupplementaryView(const QString& kind, const QString& identifier,
                                   std::function<CollectionReusableView*()> builder);
    CollectionViewCell* dequeueReusableCell(const QString& identifier, const IndexPath& indexPath);
    // The cell as the class registered under the identifier; another class stops the process.
    template <class T>
    T* dequeueReusableCell(const QString& identifier, const IndexPath& indexPath) {
        auto* cell = dynamic_cast<T*>(dequeueReusableCell(identifier, indexPath));
        TVR_ASSERT(cell != nullptr,
                   "The cell registered as " + identifier + " is not of the class asked for");
        return cell;
    }
    CollectionReusableView* dequeueReusableSupplementaryView(const QString& kind, const QString& identifier,
                                                             const IndexPath& indexPath);

    void reloadData();
    // The layout computes itself again at the next layout pass.
    void invalidateLayout();
    int numberOfSections() const;
    int numberOfItemsInSection(int section) const;

    void performBatchUpdates(const std::function<void()>& updates, std::function<void(bool)> completion = {});
    void insertItems(const std::vector<IndexPath>& indexPaths);
    void deleteItems(const std::vector<IndexPath>& indexPaths);
    void reloadItems(const std::vector<IndexPath>& indexPaths);
    void insertSections(const std::set<int>& sections);
    void deleteSections(const std::set<int>& sections);
    void reloadSections(const std::set<int>& sections);

    std::vector<CollectionViewCell*> visibleCells() const;
    std::vector<IndexPath> indexPathsForVisibleItems() const;
    CollectionViewCell* cellForItemAtIndexPath(const IndexPath& indexPath) const;
    std::optional<IndexPath> indexPathForCell(const CollectionViewCell* cell) const;
    std::optional<IndexPath> indexPathForItemAtPoint(const QPointF& point) const;
    CollectionReusableView* supplementaryView(const QString& kind, const IndexPath& indexPath) const;
    void scrollToItem(const IndexPath& indexPath, ScrollPosition position, bool animated);

    bool allowsSelection() const { return allowsSelection_; }
    void setAllowsSelection(bool allows) { allowsSelection_ = allows; }
    bool allowsMultipleSelection() const { return allowsMultipleSelection_; }
    void setAllowsMultipleSelection(bool allows) { allowsMultipleSelection_ = allows; }
    std::vector<IndexPath> indexPathsForSelectedItems() const;
    void selectItem(const IndexPath& indexPath, bool animated,
                    std::optional<ScrollPosition> position = std::nullopt);
    void deselectItem(const IndexPath& indexPath, bool animated);

    // How many cells were ever built; a test of reuse.
    int cellsBuilt() const { return cellsBuilt_; }

    void touchesBegan(const Touches& touches) override;
    void touchesEnded(const Touches& touches) override;
    void touchesCancelled(const Touches& touches) override;

protected:
    void layoutSubviews() override;
    void contentOffsetDidChange() override;
    // Updates recorded between the two are applied together at the end.
    void beginBatchUpdates();
    void endBatchUpdates(std::function<void(bool)> completion);

private:
    struct Updates {
        std::set<IndexPath> insertedItems, deletedItems, reloadedItems;
        std::set<int> insertedSections, deletedSections, reloadedSections;
        bool empty() const;
    };
    using SupplementaryKey = std::pair<QString, IndexPath>;

    void record(const std::function<void(Updates&)>& change);
    void applyUpdates(Updates updates, std::function<void(bool)> completion);
    std::optional<IndexPath> mapIndexPath(const IndexPath& old, const Updates& updates,
                                          const std::vector<int>& oldCounts) const;
    void ensureCounts() const;
    void prepareLayoutIfNeeded();
    void updateVisibleViews();
    void recycle(CollectionReusableView* view, const QString& poolKey);
    CollectionReusableView* take(const QString& poolKey);
    void recycleAll();
    void select(const IndexPath& indexPath, bool notify);
    void deselect(const IndexPath& indexPath, bool notify);
    void setHighlightedItem(std::optional<IndexPath> indexPath);

    std::shared_ptr<CollectionViewLayout> layout_;
    std::weak_ptr<CollectionViewDataSource> dataSource_;
    std::weak_ptr<CollectionViewDelegate> delegate_;
    std::map<QString, std::function<CollectionViewCell*()>> cellBuilders_;
    std::map<QString, std::function<CollectionReusableView*()>> supplementaryBuilders_;
    std::map<QString, std::vector<QPointer<CollectionReusableView>>> pools_;
    std::map<IndexPath, QPointer<CollectionViewCell>> visibleCells_;
    std::map<SupplementaryKey, QPointer<CollectionReusableView>> visibleSupplementary_;
    std::set<IndexPath> selected_;
    std::optional<IndexPath> highlighted_;
    std::optional<IndexPath> touchedItem_;
    mutable std::vector<int> counts_;
    mutable bool countsValid_ = false;
    bool layoutValid_ = false;
    bool reloadPending_ = true;
    QRectF lastBounds_;
    int batchDepth_ = 0;
    Updates pending_;
    bool allowsSelection_ = true;
    bool allowsMultipleSelection_ = false;
    int cellsBuilt_ = 0;
    bool updatingViews_ = false;
};

}  // namespace tovrin::ui
