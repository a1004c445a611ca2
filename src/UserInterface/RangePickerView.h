#pragma once

#include <QPointer>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "platform/ui/controls/PickerView.h"
#include "platform/ui/views/View.h"

namespace tovrin {

// One row of both wheels: a name and the number it stands for. The override names replace the name
// in one wheel only (the open end reads "No Minimum" on the left, "No Maximum" on the right).
struct RangePickerViewData {
    RangePickerViewData() = default;
    RangePickerViewData(QString name, double value) : name(std::move(name)), value(value) {}

    QString name;
    std::optional<QString> leftOverrideName;
    std::optional<QString> rightOverrideName;
    double value = 0;
};

class RangePickerView;

class RangePickerViewDelegate {
public:
    virtual ~RangePickerViewDelegate() = default;
    // Component 0 is the minimum wheel, 1 the maximum wheel.
    virtual void rangePickerViewDidChangeComponent(RangePickerView& picker, unsigned component) = 0;
};

// Two wheels over the same ascending rows: the minimum on the left, the maximum on the right. Either
// wheel may pass the other; the delegate corrects the pair when it wants to.
class RangePickerView : public ui::View {
    Q_OBJECT
public:
    explicit RangePickerView(QWidget* parent = nullptr);
    ~RangePickerView() override;

    ui::PickerView* pickerView() const { return pickerView_; }

    // The rows, in ascending order of distinct values. Setting them keeps the selected indexes.
    const std::vector<RangePickerViewData>& pickerData() const { return pickerData_; }
    void setPickerData(std::vector<RangePickerViewData> pickerData);

    // Setting an index alone does not move its wheel.
    unsigned minimumItemIndex() const { return minimumItemIndex_; }
    void setMinimumItemIndex(unsigned index) { minimumItemIndex_ = index; }
    unsigned maximumItemIndex() const { return maximumItemIndex_; }
    void setMaximumItemIndex(unsigned index) { maximumItemIndex_ = index; }
    void setMinimumItemIndex(unsigned minimum, unsigned maximum, bool animated);

    // Select the row nearest to the value and move the wheels there at once.
    void setMinimumItemMatchingValue(double value);
    void setMaximumItemMatchingValue(double value);

    // The row nearest to the value; a tie takes the upper row. A row below the value is only
    // considered when it holds a real number, so the open end is chosen only by its own value.
    static unsigned findNearestIndexInPickerData(const std::vector<RangePickerViewData>& pickerData,
                                                 double value);

    std::shared_ptr<RangePickerViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<RangePickerViewDelegate> delegate) { delegate_ = std::move(delegate); }

    const QString& accessibilityLabelForMinimumComponent() const { return minimumLabel_; }
    void setAccessibilityLabelForMinimumComponent(const QString& label);
    const QString& accessibilityLabelForMaximumComponent() const { return maximumLabel_; }
    void setAccessibilityLabelForMaximumComponent(const QString& label);
    const QString& accessibilityHintForMinimumComponent() const { return minimumHint_; }
    void setAccessibilityHintForMinimumComponent(const QString& hint);
    const QString& accessibilityHintForMaximumComponent() const { return maximumHint_; }
    void setAccessibilityHintForMaximumComponent(const QString& hint);

protected:
    void layoutSubviews() override;

private:
    class Wheels;
    friend class Wheels;

    void updatePickerWheelsAnimated(bool animated);
    void wheelDidSelectRow(int row, int component);

    QPointer<ui::PickerView> pickerView_;
    std::shared_ptr<Wheels> wheels_;
    std::vector<RangePickerViewData> pickerData_;
    unsigned minimumItemIndex_ = 0;
    unsigned maximumItemIndex_ = 0;
    std::weak_ptr<RangePickerViewDelegate> delegate_;
    QString minimumLabel_;
    QString maximumLabel_;
    QString minimumHint_;
    QString maximumHint_;
};

}  // namespace tovrin
