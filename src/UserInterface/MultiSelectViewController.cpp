#include "UserInterface/MultiSelectViewController.h"

#include "Categories/UI/Color+Tovrin.h"
#include "Categories/UI/Font+Tovrin.h"
#include "UserInterface/IconLabel.h"
#include "UserInterface/Nibs.h"
#include "platform/foundation/Localization.h"
#include "platform/ui/controllers/NavigationItem.h"
#include "platform/ui/scrolling/TableView.h"
#include "platform/ui/text/Label.h"

namespace tovrin {

namespace {

constexpr double itemMargin = 15;
constexpr double checkmarkWidth = 24;

}  // namespace

ItemCell::ItemCell(QWidget* parent)
    : TableViewCell(Style::Default, parent),
      titleLabel_(new ui::Label()),
      checkmarkLabel_(new IconLabel()),
      separatorView_(new HairlineView()) {
    setBackgroundColor(tovrinGrayBlack1Color());
    // A selected row is not tinted: the checkmark marks it.
    auto* selectedBackground = new ui::View();
    selectedBackground->setBackgroundColor(backgroundColor());
    setSelectedBackgroundView(selectedBackground);
    setSeparator(false, QColor(), 0);

    titleLabel_->setFont(tovrinFont(QStringLiteral("DIN OT"), 16));
    titleLabel_->setTextColor(tovrinOffWhiteColor());
    checkmarkLabel_->setFont(tovrinFont(QStringLiteral("DIN OT"), 16));
    checkmarkLabel_->setIcon(QStringLiteral("fa-check"));
    checkmarkLabel_->setTextColor(tovrinGoldenRodColor());
    checkmarkLabel_->setTextAlignment(Qt::AlignCenter);
    checkmarkLabel_->setHidden(true);
    separatorView_->setTintColor(tovrinGrayBlack3Color());
    for (ui::View* view : std::initializer_list<ui::View*>{titleLabel_, checkmarkLabel_, separatorView_})
        contentView()->addSubview(view);
    setShowsBottomSeparator(true);
}

std::vector<ui::View*> ItemCell::nib(QObject*) {
    return {new ItemCell()};
}

bool ItemCell::showsBottomSeparator() const {
    return !separatorView_->isHidden();
}

void ItemCell::setShowsBottomSeparator(bool shows) {
    separatorView_->setHidden(!shows);
}

QString ItemCell::accessibilityLabel() const {
    return titleLabel_->text();
}

QString ItemCell::accessibilityValue() const {
    return isSelected() ? localizedString("Selected") : QString();
}

void ItemCell::layoutSubviews() {
    TableViewCell::layoutSubviews();
    const QRectF area = contentView()->bounds();
    const double checkmarkLeft = area.width() - itemMargin - checkmarkWidth;
    titleLabel_->setFrame(
        QRectF(itemMargin, 0, std::max(0.0, checkmarkLeft - 2 * itemMargin), area.height()));
    checkmarkLabel_->setFrame(QRectF(checkmarkLeft, 0, checkmarkWidth, area.height()));
    const double hairline = separatorView_->intrinsicContentSize().height();
    separatorView_->setFrame(
        QRectF(itemMargin, area.height() - hairline, area.width() - itemMargin, hairline));
}

void ItemCell::setSelected(bool selected) {
    TableViewCell::setSelected(selected);
    checkmarkLabel_->setHidden(!selected);
}

// The table's data source and delegate.
class MultiSelectViewController::Rows : public ui::TableViewDataSource, public ui::TableViewDelegate {
public:
    explicit Rows(MultiSelectViewController* list) : list_(list) {}

    int numberOfRowsInSection(ui::TableView&, int) override { return int(list_->items_.size()); }
    ui::TableViewCell* cellForRowAtIndexPath(ui::TableView& table, const ui::IndexPath& indexPath) override {
        auto* cell = table.dequeueReusableCell<ItemCell>(QString::fromLatin1(CellIdentifier), indexPath);
        cell->titleLabel()->setText(list_->items_.value(indexPath.row()));
        return cell;
    }
    std::optional<double> heightForRowAtIndexPath(ui::TableView&, const ui::IndexPath&) override {
        return ItemCell::Height;
    }
    void didSelectRow(ui::TableView&, const ui::IndexPath& indexPath) override {
        list_->rowSelected(indexPath.row());
    }
    void didDeselectRow(ui::TableView&, const ui::IndexPath& indexPath) override {
        list_->rowDeselected(indexPath.row());
    }

private:
    // The list owns the table and this object; neither outlives it.
    MultiSelectViewController* list_;
};

MultiSelectViewController::MultiSelectViewController() : rows_(std::make_shared<Rows>(this)) {}

MultiSelectViewController::~MultiSelectViewController() = default;

void MultiSelectViewController::setItems(QStringList items) {
    items_ = std::move(items);
    if (tableView_) tableView_->reloadData();
}

void MultiSelectViewController::setIndexesForSelectedRows(std::optional<std::set<int>> indexes) {
    selected_ = indexes.value_or(std::set<int>{});
    updateSelectedRows();
}

void MultiSelectViewController::setTitle(const QString& title) {
    ViewController::setTitle(title);
    navigationItem().setAccessibilityLabel(title);
    const QString page = localizedString("%@ page").replace(QStringLiteral("%@"), title);
    view()->setAccessibilityIdentifier(page);
    view()->setAccessibilityLabel(page);
}

void MultiSelectViewController::loadView() {
    auto* table = new ui::TableView();
    table->setAllowsMultipleSelection(true);
    table->setSeparatorStyle(ui::TableView::SeparatorStyle::None);
    table->setRowHeight(ItemCell::Height);
    table->registerCell(QString::fromLatin1(CellIdentifier), [] {
        return qobject_cast<ItemCell*>(loadNibNamed(QString::fromLatin1(CellIdentifier)).front());
    });
    table->setDataSource(rows_);
    table->setDelegate(rows_);
    tableView_ = table;
    setView(table);
}

void MultiSelectViewController::viewWillAppear(bool animated) {
    ViewController::viewWillAppear(animated);
    view()->setBackgroundColor(tovrinGrayBlack1Color());
    updateSelectedRows();
}

void MultiSelectViewController::updateSelectedRows() {
    if (!isViewLoaded() || !tableView_) return;
    for (int row : selected_) tableView_->selectRow(ui::IndexPath::forRow(row, 0), false);
}

void MultiSelectViewController::rowSelected(int row) {
    selected_.insert(row);
    auto delegate = delegate_.lock();
    if (!delegate) return;
    auto promise = delegate->multiSelectViewControllerIndexesForSelectedRowsDidChange(*this);
    if (promise.isNull()) return;
    // The undo keeps the list alive until the delegate answers, even after it left the screen.
    const ui::IndexPath indexPath = ui::IndexPath::forRow(row, 0);
    promise.then([self = sharedSelf<MultiSelectViewController>(), indexPath](bool undo) {
        if (!undo) return;
        self->selected_.erase(indexPath.row());
        ui::TableView* table = self->tableView_;
        if (!table) return;
        table->deselectRow(indexPath, false);
        if (indexPath.row() < table->numberOfRowsInSection(0)) table->reloadRows({indexPath});
    });
}

void MultiSelectViewController::rowDeselected(int row) {
    selected_.erase(row);
    if (auto delegate = delegate_.lock())
        delegate->multiSelectViewControllerIndexesForSelectedRowsDidChange(*this);
}

}  // namespace tovrin
