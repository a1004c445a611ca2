#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "platform/ui/controls/PickerView.h"
#include "platform/ui/views/View.h"

namespace tovrin {

namespace ui {
class LayoutConstraint;
}  // namespace ui

class ContainedPicker;

class ContainedPickerDelegate {
public:
    virtual ~ContainedPickerDelegate() = default;
    // The row of column 0, whichever column the member turned.
    virtual void containedPickerDidSelectRow(ContainedPicker& picker, int row) = 0;
};

// A picker wheel inside a form row: it opens and closes in place by its height, between nothing and
// the wheel's natural height, so the rows below move with it. The form reads `heightConstraint()`.
// The wheel hangs from the bottom edge, so a picker lower than the wheel shows only its lower part.
class ContainedPicker : public ui::View {
    Q_OBJECT
public:
    explicit ContainedPicker(QWidget* parent = nullptr);
    ~ContainedPicker() override;

    // Columns of texts, set before the picker first shows.
    const std::vector<QStringList>& displayData() const { return displayData_; }
    void setDisplayData(std::vector<QStringList> displayData);

    std::shared_ptr<ContainedPickerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<ContainedPickerDelegate> delegate) { delegate_ = std::move(delegate); }

    ui::PickerView* pickerView() const { return pickerView_; }
    const std::shared_ptr<ui::LayoutConstraint>& heightConstraint() const { return heightConstraint_; }

    bool isOpen() const;
    // Opens a closed picker and closes an open one, at once.
    void toggleVisibility();

    int selectedRow() const;
    // Selects a row of column 0 without animation and without telling the delegate.
    void setSelectedRow(int row);

    // The label of the picker and of every column of its wheel.
    const QString& accessibilityLabelForPicker() const { return accessibilityLabelForPicker_; }
    QString accessibilityLabel() const override { return accessibilityLabelForPicker_; }
    void setAccessibilityLabel(const QString& label);

    QSizeF intrinsicContentSize() const override;

protected:
    void layoutSubviews() override;

private:
    class Wheel;
    friend class Wheel;

    std::vector<QStringList> displayData_;
    std::weak_ptr<ContainedPickerDelegate> delegate_;
    QPointer<ui::PickerView> pickerView_;
    std::shared_ptr<Wheel> wheel_;
    std::shared_ptr<ui::LayoutConstraint> heightConstraint_;
    QString accessibilityLabelForPicker_;
};

}  // namespace tovrin
