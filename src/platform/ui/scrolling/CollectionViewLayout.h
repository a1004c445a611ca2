#pragma once

#include <QRectF>
#include <QString>
#include <optional>
#include <vector>

#include "platform/ui/views/Geometry.h"

namespace tovrin::ui {

class CollectionView;

struct CollectionViewLayoutAttributes {
    IndexPath indexPath;
    // Empty for a cell; the kind of a supplementary view otherwise.
    QString representedElementKind;
    QRectF frame;

    bool isCell() const { return representedElementKind.isEmpty(); }
};

// Places a collection view's cells and supplementary views.
class CollectionViewLayout {
public:
    using Attributes = CollectionViewLayoutAttributes;

    virtual ~CollectionViewLayout() = default;

    CollectionView* collectionView() const { return collectionView_; }

    // Computes the layout again; called before a pass that follows an invalidation.
    virtual void prepareLayout() {}
    virtual QSizeF collectionViewContentSize() const = 0;
    virtual std::vector<Attributes> layoutAttributesForElementsInRect(const QRectF& rect) const = 0;
    virtual std::optional<Attributes> layoutAttributesForItem(const IndexPath& indexPath) const = 0;
    virtual std::optional<Attributes> layoutAttributesForSupplementaryView(const QString& kind,
                                                                           const IndexPath& indexPath) const {
        return std::nullopt;
    }
    virtual bool shouldInvalidateLayoutForBoundsChange(const QRectF& oldBounds,
                                                       const QRectF& newBounds) const {
        return oldBounds.size() != newBounds.size();
    }
    void invalidateLayout();

private:
    friend class CollectionView;
    CollectionView* collectionView_ = nullptr;
};

}  // namespace tovrin::ui
