#pragma once

#include <memory>
#include <optional>

#include "platform/ui/scrolling/CollectionView.h"
#include "platform/ui/scrolling/TableViewCell.h"

namespace tovrin::ui {

class PanGestureRecognizer;
class TableView;

class TableViewDataSource {
public:
    enum class EditingStyle { None, Delete };

    virtual ~TableViewDataSource() = default;
    virtual int numberOfSections(TableView& tableView) { return 1; }
    virtual int numberOfRowsInSection(TableView& tableView, int section) = 0;
    // Returns a cell from `dequeueReusableCell`.
    virtual TableViewCell* cellForRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) = 0;
    virtual QString titleForHeaderInSection(TableView& tableView, int section) { return {}; }
    virtual QString titleForFooterInSection(TableView& tableView, int section) { return {}; }
    // Rows that may be swiped to delete.
    virtual bool canEditRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) { return false; }
    virtual void commitEditingStyle(TableView& tableView, EditingStyle style, const IndexPath& indexPath) {}
};

class TableViewDelegate : public ScrollViewDelegate {
public:
    virtual std::optional<double> heightForRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
        return std::nullopt;
    }
    virtual std::optional<double> heightForHeaderInSection(TableView& tableView, int section) {
        return std::nullopt;
    }
    virtual std::optional<double> heightForFooterInSection(TableView& tableView, int section) {
        return std::nullopt;
    }
    // A view of the delegate's own for the header or footer; the table takes ownership.
    virtual View* viewForHeaderInSection(TableView& tableView, int section) { return nullptr; }
    virtual View* viewForFooterInSection(TableView& tableView, int section) { return nullptr; }
    virtual bool shouldHighlightRow(TableView& tableView, const IndexPath& indexPath) { return true; }
    // The row to select instead, or none to select nothing.
    virtual std::optional<IndexPath> willSelectRow(TableView& tableView, const IndexPath& indexPath) {
        return indexPath;
    }
    virtual void didSelectRow(TableView& tableView, const IndexPath& indexPath) {}
    virtual std::optional<IndexPath> willDeselectRow(TableView& tableView, const IndexPath& indexPath) {
        return indexPath;
    }
    virtual void didDeselectRow(TableView& tableView, const IndexPath& indexPath) {}
    virtual void willDisplayCell(TableView& tableView, TableViewCell& cell, const IndexPath& indexPath) {}
    virtual void didEndDisplayingCell(TableView& tableView, TableViewCell& cell, const IndexPath& indexPath) {
    }
    virtual QString titleForDeleteConfirmationButton(TableView& tableView, const IndexPath& indexPath) {
        return QStringLiteral("Delete");
    }
};

// Rows in sections, one column, with reusable cells, section headers and footers, single or
// multiple selection and swipe-to-delete. Built on the collection view's reuse and batch updates:
// row operations are the item operations of the collection view.
class TableView : public CollectionView {
    Q_OBJECT
public:
    enum class Style { Plain, Grouped };
    enum class SeparatorStyle { None, SingleLine };
    static constexpr double SwipeActionWidth = 80;

    explicit TableView(Style style = Style::Plain, QWidget* parent = nullptr);
    ~TableView() override;

    Style style() const { return style_; }
    std::shared_ptr<TableViewDataSource> tableDataSource() const { return tableDataSource_.lock(); }
    void setDataSource(std::weak_ptr<TableViewDataSource> dataSource);
    std::shared_ptr<TableViewDelegate> tableDelegate() const { return tableDelegate_.lock(); }
    void setDelegate(std::weak_ptr<TableViewDelegate> delegate);

    double rowHeight() const { return rowHeight_; }
    void setRowHeight(double height);
    double sectionHeaderHeight() const { return sectionHeaderHeight_; }
    void setSectionHeaderHeight(double height);
    double sectionFooterHeight() const { return sectionFooterHeight_; }
    void setSectionFooterHeight(double height);
    void setSeparatorStyle(SeparatorStyle style);
    void setSeparatorColor(const QColor& color);
    void setSeparatorInset(double leftInset);
    // Views above the first section and below the last; the table takes ownership.
    void setTableHeaderView(View* view);
    View* tableHeaderView() const { return tableHeaderView_; }
    void setTableFooterView(View* view);
    View* tableFooterView() const { return tableFooterView_; }

    void registerCell(const QString& identifier, std::function<TableViewCell*()> builder);
    TableViewCell* dequeueReusableCell(const QString& identifier, const IndexPath& indexPath);
    // The cell as the class registered under the identifier.
    template <class T>
    T* dequeueReusableCell(const QString& identifier, const IndexPath& indexPath) {
        return CollectionView::dequeueReusableCell<T>(identifier, indexPath);
    }

    int numberOfRowsInSection(int section) const { return numberOfItemsInSection(section); }
    void insertRows(const std::vector<IndexPath>& indexPaths) { insertItems(indexPaths); }
    void deleteRows(const std::vector<IndexPath>& indexPaths) { deleteItems(indexPaths); }
    void reloadRows(const std::vector<IndexPath>& indexPaths) { reloadItems(indexPaths); }
    void beginUpdates();
    void endUpdates();

    std::vector<IndexPath> indexPathsForVisibleRows() const { return indexPathsForVisibleItems(); }
    TableViewCell* cellForRowAtIndexPath(const IndexPath& indexPath) const;
    std::optional<IndexPath> indexPathForRowAtPoint(const QPointF& point) const {
        return indexPathForItemAtPoint(point);
    }
    QRectF rectForRowAtIndexPath(const IndexPath& indexPath) const;
    void scrollToRow(const IndexPath& indexPath, ScrollPosition position, bool animated) {
        scrollToItem(indexPath, position, animated);
    }

    std::optional<IndexPath> indexPathForSelectedRow() const;
    std::vector<IndexPath> indexPathsForSelectedRows() const { return indexPathsForSelectedItems(); }
    void selectRow(const IndexPath& indexPath, bool animated,
                   std::optional<ScrollPosition> position = std::nullopt) {
        selectItem(indexPath, animated, position);
    }
    void deselectRow(const IndexPath& indexPath, bool animated) { deselectItem(indexPath, animated); }

    // The row whose delete button shows, if any; closing hides it.
    std::optional<IndexPath> swipedRow() const { return swipedRow_; }
    void closeSwipedRow();

    void touchesBegan(const Touches& touches) override;

protected:
    void layoutSubviews() override;

private:
    class Layout;
    class Adapter;
    friend class Layout;
    friend class Adapter;

    void handleSwipe();
    bool canSwipe(const QPointF& translation) const;
    void commitDelete(const IndexPath& indexPath);

    Style style_;
    std::weak_ptr<TableViewDataSource> tableDataSource_;
    std::weak_ptr<TableViewDelegate> tableDelegate_;
    std::shared_ptr<Adapter> adapter_;
    double rowHeight_ = 44;
    double sectionHeaderHeight_;
    double sectionFooterHeight_;
    SeparatorStyle separatorStyle_ = SeparatorStyle::SingleLine;
    QColor separatorColor_ = QColor(200, 199, 204);
    double separatorInset_ = 15;
    QPointer<View> tableHeaderView_;
    QPointer<View> tableFooterView_;
    std::shared_ptr<PanGestureRecognizer> swipe_;
    std::optional<IndexPath> swipedRow_;
    std::optional<IndexPath> swipingRow_;
    double swipeStart_ = 0;
};

}  // namespace tovrin::ui
