#pragma once

#include "platform/ui/scrolling/CollectionViewLayout.h"

namespace tovrin::ui {

// Items in rows, left to right, each row filled as far as the width allows and its items spread
// evenly; a header above and a footer below each section. Sizes come from the delegate when it
// gives them, else from the layout's own values. Vertical scrolling.
class CollectionViewFlowLayout : public CollectionViewLayout {
public:
    QSizeF itemSize() const { return itemSize_; }
    void setItemSize(const QSizeF& size);
    double minimumLineSpacing() const { return minimumLineSpacing_; }
    void setMinimumLineSpacing(double spacing);
    double minimumInteritemSpacing() const { return minimumInteritemSpacing_; }
    void setMinimumInteritemSpacing(double spacing);
    const EdgeInsets& sectionInset() const { return sectionInset_; }
    void setSectionInset(const EdgeInsets& insets);
    QSizeF headerReferenceSize() const { return headerReferenceSize_; }
    void setHeaderReferenceSize(const QSizeF& size);
    QSizeF footerReferenceSize() const { return footerReferenceSize_; }
    void setFooterReferenceSize(const QSizeF& size);

    void prepareLayout() override;
    QSizeF collectionViewContentSize() const override { return contentSize_; }
    std::vector<Attributes> layoutAttributesForElementsInRect(const QRectF& rect) const override;
    std::optional<Attributes> layoutAttributesForItem(const IndexPath& indexPath) const override;
    std::optional<Attributes> layoutAttributesForSupplementaryView(const QString& kind,
                                                                   const IndexPath& indexPath) const override;

private:
    struct Row {
        double top;
        double bottom;
        std::vector<Attributes> items;
    };
    struct Section {
        std::optional<Attributes> header;
        std::optional<Attributes> footer;
        std::vector<Row> rows;
        std::vector<QRectF> itemFrames;
        double top = 0;
        double bottom = 0;
    };

    Section layoutSection(int section, double top, double width) const;

    QSizeF itemSize_ = QSizeF(50, 50);
    double minimumLineSpacing_ = 10;
    double minimumInteritemSpacing_ = 10;
    EdgeInsets sectionInset_;
    QSizeF headerReferenceSize_;
    QSizeF footerReferenceSize_;
    std::vector<Section> sections_;
    QSizeF contentSize_;
};

}  // namespace tovrin::ui
