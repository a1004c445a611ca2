#include "platform/ui/scrolling/TableView.h"

#include <algorithm>

#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/input/PanGestureRecognizer.h"
#include "platform/ui/text/Font.h"
#include "platform/ui/text/Label.h"

namespace tovrin::ui {
namespace {

const QString HeaderKind = QStringLiteral("TableSectionHeader");
const QString FooterKind = QStringLiteral("TableSectionFooter");
const QString SectionContainer = QStringLiteral("TableSectionContainer");

}  // namespace

// Rows stacked in one column, with the section headers and footers and the table's own header and
// footer views.
class TableView::Layout : public CollectionViewLayout {
public:
    explicit Layout(TableView* table) : table_(table) {}

    void prepareLayout() override {
        sections_.clear();
        auto source = table_->tableDataSource();
        auto delegate = table_->tableDelegate();
        TableView& table = *table_;
        const double width = table.bounds().width();
        double y = table.tableHeaderView_ ? table.tableHeaderView_->frame().height() : 0;
        for (int section = 0; section < table.numberOfSections(); ++section) {
            Section placed;
            const QString title = source ? source->titleForHeaderInSection(table, section) : QString();
            const double header =
                (delegate ? delegate->heightForHeaderInSection(table, section) : std::nullopt)
                    .value_or(title.isEmpty() ? 0 : table.sectionHeaderHeight_);
            placed.header = QRectF(0, y, width, header);
            y += header;
            for (int row = 0; row < table.numberOfRowsInSection(section); ++row) {
                const double height =
                    (delegate ? delegate->heightForRowAtIndexPath(table, {section, row}) : std::nullopt)
                        .value_or(table.rowHeight_);
                placed.rows.push_back(QRectF(0, y, width, height));
                y += height;
            }
            const QString footerTitle = source ? source->titleForFooterInSection(table, section) : QString();
            const double footer =
                (delegate ? delegate->heightForFooterInSection(table, section) : std::nullopt)
                    .value_or(footerTitle.isEmpty() ? 0 : table.sectionFooterHeight_);
            placed.footer = QRectF(0, y, width, footer);
            y += footer;
            sections_.push_back(std::move(placed));
        }
        footerTop_ = y;
        y += table.tableFooterView_ ? table.tableFooterView_->frame().height() : 0;
        contentSize_ = QSizeF(width, y);
    }

    QSizeF collectionViewContentSize() const override { return contentSize_; }
    double footerTop() const { return footerTop_; }

    std::vector<Attributes> layoutAttributesForElementsInRect(const QRectF& rect) const override {
        std::vector<Attributes> found;
        for (int section = 0; section < int(sections_.size()); ++section) {
            const Section& placed = sections_[size_t(section)];
            if (placed.header.height() > 0 && placed.header.intersects(rect)) {
                found.push_back({{section, 0}, HeaderKind, placed.header});
            }
            auto first = std::lower_bound(placed.rows.begin(), placed.rows.end(), rect.top(),
                                          [](const QRectF& row, double top) { return row.bottom() <= top; });
            for (auto row = first; row != placed.rows.end() && row->top() < rect.bottom(); ++row) {
                found.push_back({{section, int(row - placed.rows.begin())}, QString(), *row});
            }
            if (placed.footer.height() > 0 && placed.footer.intersects(rect)) {
                found.push_back({{section, 0}, FooterKind, placed.footer});
            }
        }
        return found;
    }

    std::optional<Attributes> layoutAttributesForItem(const IndexPath& indexPath) const override {
        if (indexPath.section < 0 || indexPath.section >= int(sections_.size())) return std::nullopt;
        const auto& rows = sections_[size_t(indexPath.section)].rows;
        if (indexPath.row() < 0 || indexPath.row() >= int(rows.size())) return std::nullopt;
        return Attributes{indexPath, QString(), rows[size_t(indexPath.row())]};
    }

private:
    struct Section {
        QRectF header;
        std::vector<QRectF> rows;
        QRectF footer;
    };

    TableView* table_;
    std::vector<Section> sections_;
    QSizeF contentSize_;
    double footerTop_ = 0;
};

// Speaks the collection view's protocols on behalf of the table's data source and delegate.
class TableView::Adapter : public CollectionViewDataSource, public CollectionViewDelegate {
public:
    explicit Adapter(TableView* table) : table_(table) {}

    int numberOfSections(CollectionView&) override {
        auto source = table_->tableDataSource();
        return source ? source->numberOfSections(*table_) : 0;
    }
    int numberOfItemsInSection(CollectionView&, int section) override {
        auto source = table_->tableDataSource();
        return source ? source->numberOfRowsInSection(*table_, section) : 0;
    }
    CollectionViewCell* cellForItemAtIndexPath(CollectionView&, const IndexPath& indexPath) override {
        auto source = table_->tableDataSource();
        TableViewCell* cell = source ? source->cellForRowAtIndexPath(*table_, indexPath) : nullptr;
        if (cell) {
            cell->setSeparator(table_->separatorStyle_ == SeparatorStyle::SingleLine, table_->separatorColor_,
                               table_->separatorInset_);
        }
        return cell;
    }
    CollectionReusableView* viewForSupplementaryElement(CollectionView&, const QString& kind,
                                                        const IndexPath& indexPath) override {
        auto* container = table_->dequeueReusableSupplementaryView(kind, SectionContainer, indexPath);
        for (View* old : container->subviews()) delete old;
        const bool header = kind == HeaderKind;
        auto delegate = table_->tableDelegate();
        auto source = table_->tableDataSource();
        View* content = delegate ? (header ? delegate->viewForHeaderInSection(*table_, indexPath.section)
                                           : delegate->viewForFooterInSection(*table_, indexPath.section))
                                 : nullptr;
        if (!content) {
            auto* label = new Label();
            label->setText(source ? (header ? source->titleForHeaderInSection(*table_, indexPath.section)
                                            : source->titleForFooterInSection(*table_, indexPath.section))
                                  : QString());
            label->setFont(Font::systemFont(header ? 14 : 12));
            label->setTextColor(QColor(109, 109, 114));
            label->setBackgroundColor(table_->style_ == Style::Plain ? QColor(247, 247, 247)
                                                                     : QColor(Qt::transparent));
            content = label;
        }
        container->addSubview(content);
        content->setFrame(QRectF(header && qobject_cast<Label*>(content) ? 15 : 0, 0,
                                 container->frame().width(), container->frame().height()));
        return container;
    }

    bool shouldHighlightItem(CollectionView&, const IndexPath& indexPath) override {
        if (table_->swipedRow_) return false;
        auto delegate = table_->tableDelegate();
        return !delegate || delegate->shouldHighlightRow(*table_, indexPath);
    }
    bool shouldSelectItem(CollectionView&, const IndexPath& indexPath) override {
        auto delegate = table_->tableDelegate();
        if (!delegate) return true;
        const auto chosen = delegate->willSelectRow(*table_, indexPath);
        if (chosen && *chosen != indexPath) {
            table_->selectItem(*chosen, false);
            delegate->didSelectRow(*table_, *chosen);
            return false;
        }
        return chosen.has_value();
    }
    void didSelectItem(CollectionView&, const IndexPath& indexPath) override {
        if (auto delegate = table_->tableDelegate()) delegate->didSelectRow(*table_, indexPath);
    }
    bool shouldDeselectItem(CollectionView&, const IndexPath& indexPath) override {
        auto delegate = table_->tableDelegate();
        return !delegate || delegate->willDeselectRow(*table_, indexPath).has_value();
    }
    void didDeselectItem(CollectionView&, const IndexPath& indexPath) override {
        if (auto delegate = table_->tableDelegate()) delegate->didDeselectRow(*table_, indexPath);
    }
    void willDisplayCell(CollectionView&, CollectionViewCell& cell, const IndexPath& indexPath) override {
        auto* row = qobject_cast<TableViewCell*>(&cell);
        if (auto delegate = table_->tableDelegate(); delegate && row)
            delegate->willDisplayCell(*table_, *row, indexPath);
    }
    void didEndDisplayingCell(CollectionView&, CollectionViewCell& cell,
                              const IndexPath& indexPath) override {
        auto* row = qobject_cast<TableViewCell*>(&cell);
        if (row && table_->swipedRow_ == indexPath) {
            row->setEditingOffset(0);
            table_->swipedRow_.reset();
        }
        if (auto delegate = table_->tableDelegate(); delegate && row) {
            delegate->didEndDisplayingCell(*table_, *row, indexPath);
        }
    }

    void scrollViewDidScroll(ScrollView&) override {
        if (auto delegate = table_->tableDelegate()) delegate->scrollViewDidScroll(*table_);
    }
    void scrollViewWillBeginDragging(ScrollView&) override {
        table_->closeSwipedRow();
        if (auto delegate = table_->tableDelegate()) delegate->scrollViewWillBeginDragging(*table_);
    }
    void scrollViewWillEndDragging(ScrollView&, const QPointF& velocity, QPointF& target) override {
        if (auto delegate = table_->tableDelegate())
            delegate->scrollViewWillEndDragging(*table_, velocity, target);
    }
    void scrollViewDidEndDragging(ScrollView&, bool willDecelerate) override {
        if (auto delegate = table_->tableDelegate())
            delegate->scrollViewDidEndDragging(*table_, willDecelerate);
    }
    void scrollViewWillBeginDecelerating(ScrollView&) override {
        if (auto delegate = table_->tableDelegate()) delegate->scrollViewWillBeginDecelerating(*table_);
    }
    void scrollViewDidEndDecelerating(ScrollView&) override {
        if (auto delegate = table_->tableDelegate()) delegate->scrollViewDidEndDecelerating(*table_);
    }
    void scrollViewDidEndScrollingAnimation(ScrollView&) override {
        if (auto delegate = table_->tableDelegate()) delegate->scrollViewDidEndScrollingAnimation(*table_);
    }

private:
    TableView* table_;
};

TableView::TableView(Style style, QWidget* parent)
    : CollectionView(std::make_shared<Layout>(this), parent),
      style_(style),
      adapter_(std::make_shared<Adapter>(this)),
      sectionHeaderHeight_(style == Style::Plain ? 22 : 28),
      sectionFooterHeight_(style == Style::Plain ? 22 : 28) {
    setBackgroundColor(style == Style::Plain ? QColor(Qt::white) : QColor(239, 239, 244));
    setAlwaysBounceVertical(true);
    CollectionView::setDataSource(adapter_);
    CollectionView::setDelegate(adapter_);
    for (const QString& kind : {HeaderKind, FooterKind}) {
        registerSupplementaryView(kind, SectionContainer, [] { return new CollectionReusableView(); });
    }
    QPointer<TableView> self(this);
    swipe_ = std::make_shared<PanGestureRecognizer>([self](GestureRecognizer&) {
        if (self) self->handleSwipe();
    });
    swipe_->setBeginCondition(
        [self](const QPointF& translation) { return self && self->canSwipe(translation); });
    addGestureRecognizer(swipe_);
}

TableView::~TableView() {
    CollectionView::setDataSource({});
    CollectionView::setDelegate({});
}

void TableView::setDataSource(std::weak_ptr<TableViewDataSource> dataSource) {
    tableDataSource_ = std::move(dataSource);
    reloadData();
}

void TableView::setDelegate(std::weak_ptr<TableViewDelegate> delegate) {
    tableDelegate_ = std::move(delegate);
    invalidateLayout();
}

void TableView::setRowHeight(double height) {
    rowHeight_ = height;
    invalidateLayout();
}

void TableView::setSectionHeaderHeight(double height) {
    sectionHeaderHeight_ = height;
    invalidateLayout();
}

void TableView::setSectionFooterHeight(double height) {
    sectionFooterHeight_ = height;
    invalidateLayout();
}

void TableView::setSeparatorStyle(SeparatorStyle style) {
    separatorStyle_ = style;
    reloadData();
}

void TableView::setSeparatorColor(const QColor& color) {
    separatorColor_ = color;
    reloadData();
}

void TableView::setSeparatorInset(double leftInset) {
    separatorInset_ = leftInset;
    reloadData();
}

void TableView::setTableHeaderView(View* view) {
    delete tableHeaderView_.data();
    tableHeaderView_ = view;
    if (view) addSubview(view);
    invalidateLayout();
}

void TableView::setTableFooterView(View* view) {
    delete tableFooterView_.data();
    tableFooterView_ = view;
    if (view) addSubview(view);
    invalidateLayout();
}

void TableView::registerCell(const QString& identifier, std::function<TableViewCell*()> builder) {
    CollectionView::registerCell(
        identifier, [builder = std::move(builder)]() -> CollectionViewCell* { return builder(); });
}

TableViewCell* TableView::dequeueReusableCell(const QString& identifier, const IndexPath& indexPath) {
    return CollectionView::dequeueReusableCell<TableViewCell>(identifier, indexPath);
}

void TableView::beginUpdates() {
    beginBatchUpdates();
}

void TableView::endUpdates() {
    endBatchUpdates({});
}

TableViewCell* TableView::cellForRowAtIndexPath(const IndexPath& indexPath) const {
    return qobject_cast<TableViewCell*>(cellForItemAtIndexPath(indexPath));
}

QRectF TableView::rectForRowAtIndexPath(const IndexPath& indexPath) const {
    auto attributes = collectionViewLayout().layoutAttributesForItem(indexPath);
    return attributes ? attributes->frame : QRectF();
}

std::optional<IndexPath> TableView::indexPathForSelectedRow() const {
    const auto selected = indexPathsForSelectedItems();
    if (selected.empty()) return std::nullopt;
    return selected.front();
}

void TableView::layoutSubviews() {
    CollectionView::layoutSubviews();
    const double width = bounds().width();
    if (tableHeaderView_) tableHeaderView_->setFrame(QRectF(0, 0, width, tableHeaderView_->frame().height()));
    if (tableFooterView_) {
        const double top = static_cast<const Layout&>(collectionViewLayout()).footerTop();
        tableFooterView_->setFrame(QRectF(0, top, width, tableFooterView_->frame().height()));
    }
}

bool TableView::canSwipe(const QPointF& translation) const {
    if (std::abs(translation.x()) <= std::abs(translation.y())) return false;
    const auto row = indexPathForItemAtPoint(swipe_->locationInView(this) - translation);
    auto source = tableDataSource();
    if (!row || !source || !source->canEditRowAtIndexPath(const_cast<TableView&>(*this), *row)) return false;
    // A closed row opens to the left; an open one may close to the right.
    return translation.x() < 0 || swipedRow_ == row;
}

void TableView::handleSwipe() {
    using State = GestureRecognizer::State;
    switch (swipe_->state()) {
        case State::Began: {
            const auto row =
                indexPathForItemAtPoint(swipe_->locationInView(this) - swipe_->translationInView(this));
            if (swipedRow_ && swipedRow_ != row) closeSwipedRow();
            swipingRow_ = row;
            auto* cell = row ? cellForRowAtIndexPath(*row) : nullptr;
            swipeStart_ = cell ? cell->editingOffset() : 0;
            if (cell) {
                auto delegate = tableDelegate();
                cell->deleteButton()->setTitle(delegate
                                                   ? delegate->titleForDeleteConfirmationButton(*this, *row)
                                                   : QStringLiteral("Delete"));
                cell->deleteButton()->removeTargets(Control::TouchUpInside);
                QPointer<TableView> self(this);
                QPointer<TableViewCell> guarded(cell);
                cell->deleteButton()->addTarget(Control::TouchUpInside, [self, guarded](Control&) {
                    if (!self || !guarded) return;
                    if (auto path = self->indexPathForCell(guarded)) self->commitDelete(*path);
                });
            }
            break;
        }
        case State::Changed:
            if (auto* cell = swipingRow_ ? cellForRowAtIndexPath(*swipingRow_) : nullptr) {
                cell->setEditingOffset(std::clamp(swipeStart_ + swipe_->translationInView(this).x(),
                                                  -SwipeActionWidth * 1.5, 0.0));
            }
            break;
        case State::Ended:
        case State::Cancelled:
            if (auto* cell = swipingRow_ ? cellForRowAtIndexPath(*swipingRow_) : nullptr) {
                const bool open = cell->editingOffset() < -SwipeActionWidth / 2;
                QPointer<TableViewCell> guarded(cell);
                ViewAnimation::animate(0.2, [guarded, open] {
                    if (guarded) guarded->setEditingOffset(open ? -SwipeActionWidth : 0);
                });
                swipedRow_ = open ? swipingRow_ : std::nullopt;
            }
            swipingRow_.reset();
            break;
        default:
            break;
    }
}

void TableView::closeSwipedRow() {
    if (!swipedRow_) return;
    if (auto* cell = cellForRowAtIndexPath(*swipedRow_)) cell->setEditingOffset(0);
    swipedRow_.reset();
}

void TableView::commitDelete(const IndexPath& indexPath) {
    closeSwipedRow();
    if (auto source = tableDataSource()) {
        source->commitEditingStyle(*this, TableViewDataSource::EditingStyle::Delete, indexPath);
    }
}

void TableView::touchesBegan(const Touches& touches) {
    // A touch elsewhere while a delete button shows only closes it.
    if (swipedRow_) {
        closeSwipedRow();
        return;
    }
    CollectionView::touchesBegan(touches);
}

}  // namespace tovrin::ui
