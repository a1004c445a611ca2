#pragma once

#include <QPointer>
#include <QStringList>
#include <memory>
#include <optional>
#include <set>

#include "UserInterface/HairlineView.h"
#include "UserInterface/IconLabel.h"
#include "platform/promise/Promise.h"
#include "platform/ui/controllers/ViewController.h"
#include "platform/ui/scrolling/TableView.h"
#include "platform/ui/scrolling/TableViewCell.h"
#include "platform/ui/text/Label.h"

namespace tovrin {

// A row of the list: its text, a checkmark while selected and a hairline under it.
class ItemCell : public ui::TableViewCell {
    Q_OBJECT
public:
    static constexpr double Height = 60;

    explicit ItemCell(QWidget* parent = nullptr);

    // The list's prototype cell, "ItemCell".
    static std::vector<ui::View*> nib(QObject* owner);

    ui::Label* titleLabel() const { return titleLabel_; }
    IconLabel* checkmarkLabel() const { return checkmarkLabel_; }
    HairlineView* separatorView() const { return separatorView_; }
    bool showsBottomSeparator() const;
    void setShowsBottomSeparator(bool shows);

    QString accessibilityLabel() const override;
    QString accessibilityValue() const override;

protected:
    void layoutSubviews() override;
    void setSelected(bool selected) override;

private:
    QPointer<ui::Label> titleLabel_;
    QPointer<IconLabel> checkmarkLabel_;
    QPointer<HairlineView> separatorView_;
};

class MultiSelectViewController;

class MultiSelectViewControllerDelegate {
public:
    virtual ~MultiSelectViewControllerDelegate() = default;
    // Told after every change; `indexesForSelectedRows()` already holds it. A promise yielding true
    // undoes the row just selected (a deselection is never undone).
    virtual Promise<bool> multiSelectViewControllerIndexesForSelectedRowsDidChange(
        MultiSelectViewController& list) = 0;
};

// A full-screen list of texts in which the member ticks any number of rows.
class MultiSelectViewController : public ui::ViewController {
public:
    static constexpr const char* CellIdentifier = "ItemCell";

    MultiSelectViewController();
    ~MultiSelectViewController() override;

    const QStringList& items() const { return items_; }
    void setItems(QStringList items);

    // Every index names an existing row; the list does not check.
    std::set<int> indexesForSelectedRows() const { return selected_; }
    void setIndexesForSelectedRows(std::optional<std::set<int>> indexes);

    // Also names the screen for accessibility ("%@ page"); loads the view.
    void setTitle(const QString& title);

    std::shared_ptr<MultiSelectViewControllerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<MultiSelectViewControllerDelegate> delegate) {
        delegate_ = std::move(delegate);
    }

    ui::TableView* tableView() const { return tableView_; }

protected:
    void loadView() override;
    void viewWillAppear(bool animated) override;

private:
    class Rows;
    friend class Rows;

    void updateSelectedRows();
    void rowSelected(int row);
    void rowDeselected(int row);

    QStringList items_;
    std::set<int> selected_;
    std::weak_ptr<MultiSelectViewControllerDelegate> delegate_;
    std::shared_ptr<Rows> rows_;
    QPointer<ui::TableView> tableView_;
};

}  // namespace tovrin
