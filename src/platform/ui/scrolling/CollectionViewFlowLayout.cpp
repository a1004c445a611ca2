#include "platform/ui/scrolling/CollectionViewFlowLayout.h"

#include <algorithm>

#include "platform/ui/scrolling/CollectionView.h"

namespace tovrin::ui {

void CollectionViewFlowLayout::setItemSize(const QSizeF& size) {
    itemSize_ = size;
    invalidateLayout();
}

void CollectionViewFlowLayout::setMinimumLineSpacing(double spacing) {
    minimumLineSpacing_ = spacing;
    invalidateLayout();
}

void CollectionViewFlowLayout::setMinimumInteritemSpacing(double spacing) {
    minimumInteritemSpacing_ = spacing;
    invalidateLayout();
}

void CollectionViewFlowLayout::setSectionInset(const EdgeInsets& insets) {
    sectionInset_ = insets;
    invalidateLayout();
}

void CollectionViewFlowLayout::setHeaderReferenceSize(const QSizeF& size) {
    headerReferenceSize_ = size;
    invalidateLayout();
}

void CollectionViewFlowLayout::setFooterReferenceSize(const QSizeF& size) {
    footerReferenceSize_ = size;
    invalidateLayout();
}

void CollectionViewFlowLayout::prepareLayout() {
    sections_.clear();
    CollectionView* view = collectionView();
    if (!view) return;
    const double width = view->bounds().width();
    double top = 0;
    const int count = view->numberOfSections();
    for (int section = 0; section < count; ++section) {
        sections_.push_back(layoutSection(section, top, width));
        top = sections_.back().bottom;
    }
    contentSize_ = QSizeF(width, top);
}

CollectionViewFlowLayout::Section CollectionViewFlowLayout::layoutSection(int section, double top,
                                                                          double width) const {
    CollectionView& view = *collectionView();
    auto delegate = view.collectionDelegate();
    const EdgeInsets inset =
        (delegate ? delegate->insetForSection(view, section) : std::nullopt).value_or(sectionInset_);
    const double lineSpacing =
        (delegate ? delegate->minimumLineSpacingForSection(view, section) : std::nullopt)
            .value_or(minimumLineSpacing_);
    const double itemSpacing =
        (delegate ? delegate->minimumInteritemSpacingForSection(view, section) : std::nullopt)
            .value_or(minimumInteritemSpacing_);
    const QSizeF header = (delegate ? delegate->referenceSizeForHeaderInSection(view, section) : std::nullopt)
                              .value_or(headerReferenceSize_);
    const QSizeF footer = (delegate ? delegate->referenceSizeForFooterInSection(view, section) : std::nullopt)
                              .value_or(footerReferenceSize_);

    Section result;
    result.top = top;
    double y = top;
    if (header.height() > 0) {
        result.header = Attributes{
            {section, 0}, CollectionView::ElementKindSectionHeader, QRectF(0, y, width, header.height())};
        y += header.height();
    }
    y += inset.top;
    const double available = std::max(0.0, width - inset.left - inset.right);
    const int count = view.numberOfItemsInSection(section);
    result.itemFrames.resize(size_t(count));

    std::vector<std::pair<int, QSizeF>> row;
    double rowWidth = 0;
    auto finishRow = [&](bool full) {
        if (row.empty()) return;
        double height = 0;
        double widths = 0;
        for (const auto& [item, size] : row) {
            height = std::max(height, size.height());
            widths += size.width();
        }
        const double spacing =
            full && row.size() > 1 ? (available - widths) / double(row.size() - 1) : itemSpacing;
        Row placed{y, y + height, {}};
        double x = inset.left;
        for (const auto& [item, size] : row) {
            const QRectF frame(x, y + (height - size.height()) / 2, size.width(), size.height());
            result.itemFrames[size_t(item)] = frame;
            placed.items.push_back(Attributes{{section, item}, QString(), frame});
            x += size.width() + spacing;
        }
        result.rows.push_back(std::move(placed));
        y += height + lineSpacing;
        row.clear();
        rowWidth = 0;
    };
    for (int item = 0; item < count; ++item) {
        const QSizeF size =
            (delegate ? delegate->sizeForItemAtIndexPath(view, {section, item}) : std::nullopt)
                .value_or(itemSize_);
        const double needed = row.empty() ? size.width() : rowWidth + itemSpacing + size.width();
        if (!row.empty() && needed > available + 1e-6) finishRow(true);
        rowWidth = row.empty() ? size.width() : rowWidth + itemSpacing + size.width();
        row.emplace_back(item, size);
    }
    finishRow(false);
    if (!result.rows.empty()) y -= lineSpacing;
    y += inset.bottom;
    if (footer.height() > 0) {
        result.footer = Attributes{
            {section, 0}, CollectionView::ElementKindSectionFooter, QRectF(0, y, width, footer.height())};
        y += footer.height();
    }
    result.bottom = y;
    return result;
}

std::vector<CollectionViewLayout::Attributes> CollectionViewFlowLayout::layoutAttributesForElementsInRect(
    const QRectF& rect) const {
    std::vector<Attributes> found;
    for (const auto& section : sections_) {
        if (section.bottom < rect.top() || section.top > rect.bottom()) continue;
        if (section.header && section.header->frame.intersects(rect)) found.push_back(*section.header);
        auto row = std::lower_bound(section.rows.begin(), section.rows.end(), rect.top(),
                                    [](const Row& candidate, double top) { return candidate.bottom < top; });
        for (; row != section.rows.end() && row->top < rect.bottom(); ++row) {
            for (const auto& item : row->items) {
                if (item.frame.intersects(rect)) found.push_back(item);
            }
        }
        if (section.footer && section.footer->frame.intersects(rect)) found.push_back(*section.footer);
    }
    return found;
}

std::optional<CollectionViewLayout::Attributes> CollectionViewFlowLayout::layoutAttributesForItem(
    const IndexPath& indexPath) const {
    if (indexPath.section < 0 || indexPath.section >= int(sections_.size())) return std::nullopt;
    const auto& frames = sections_[size_t(indexPath.section)].itemFrames;
    if (indexPath.item < 0 || indexPath.item >= int(frames.size())) return std::nullopt;
    return Attributes{indexPath, QString(), frames[size_t(indexPath.item)]};
}

std::optional<CollectionViewLayout::Attributes>
CollectionViewFlowLayout::layoutAttributesForSupplementaryView(const QString& kind,
                                                               const IndexPath& indexPath) const {
    if (indexPath.section < 0 || indexPath.section >= int(sections_.size())) return std::nullopt;
    const auto& section = sections_[size_t(indexPath.section)];
    if (kind == CollectionView::ElementKindSectionHeader) return section.header;
    if (kind == CollectionView::ElementKindSectionFooter) return section.footer;
    return std::nullopt;
}

}  // namespace tovrin::ui
