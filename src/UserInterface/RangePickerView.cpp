#include "UserInterface/RangePickerView.h"

#include <algorithm>

#include "API/MinMax.h"
#include "platform/foundation/Error.h"
#include "platform/ui/controls/PickerView.h"

namespace tovrin {

// The wheel's data source and delegate: the wheel holds it weakly, the picker strongly.
class RangePickerView::Wheels : public ui::PickerViewDataSource, public ui::PickerViewDelegate {
public:
    explicit Wheels(RangePickerView* picker) : picker_(picker) {}

    int numberOfComponents(ui::PickerView&) override { return 2; }
    int numberOfRowsInComponent(ui::PickerView&, int) override {
        return picker_ ? int(picker_->pickerData_.size()) : 0;
    }
    std::optional<QString> titleForRow(ui::PickerView&, int row, int component) override {
        if (!picker_ || row < 0 || size_t(row) >= picker_->pickerData_.size()) return std::nullopt;
        const RangePickerViewData& data = picker_->pickerData_[size_t(row)];
        const auto& override = component == 0 ? data.leftOverrideName : data.rightOverrideName;
        return override.value_or(data.name);
    }
    void didSelectRow(ui::PickerView&, int row, int component) override {
        if (picker_) picker_->wheelDidSelectRow(row, component);
    }
    std::optional<QString> accessibilityLabelForComponent(ui::PickerView&, int component) override {
        if (!picker_) return std::nullopt;
        return component == 0 ? picker_->minimumLabel_ : picker_->maximumLabel_;
    }
    std::optional<QString> accessibilityHintForComponent(ui::PickerView&, int component) override {
        if (!picker_) return std::nullopt;
        return component == 0 ? picker_->minimumHint_ : picker_->maximumHint_;
    }

private:
    QPointer<RangePickerView> picker_;
};

RangePickerView::RangePickerView(QWidget* parent)
    : View(parent), pickerView_(new ui::PickerView()), wheels_(std::make_shared<Wheels>(this)) {
    addSubview(pickerView_);
    pickerView_->setDataSource(wheels_);
    pickerView_->setDelegate(wheels_);
}

RangePickerView::~RangePickerView() = default;

void RangePickerView::setPickerData(std::vector<RangePickerViewData> pickerData) {
    pickerData_ = std::move(pickerData);
    pickerView_->reloadAllComponents();
}

void RangePickerView::setMinimumItemIndex(unsigned minimum, unsigned maximum, bool animated) {
    minimumItemIndex_ = minimum;
    maximumItemIndex_ = maximum;
    updatePickerWheelsAnimated(animated);
}

void RangePickerView::setMinimumItemMatchingValue(double value) {
    minimumItemIndex_ = findNearestIndexInPickerData(pickerData_, value);
    updatePickerWheelsAnimated(false);
}

void RangePickerView::setMaximumItemMatchingValue(double value) {
    maximumItemIndex_ = findNearestIndexInPickerData(pickerData_, value);
    updatePickerWheelsAnimated(false);
}

unsigned RangePickerView::findNearestIndexInPickerData(const std::vector<RangePickerViewData>& pickerData,
                                                       double value) {
    TVR_ASSERT(!pickerData.empty(), "No row to match a value against");
    const auto found =
        std::lower_bound(pickerData.begin(), pickerData.end(), value,
                         [](const RangePickerViewData& row, double v) { return row.value < v; });
    const size_t index = size_t(found - pickerData.begin());
    if (index == pickerData.size()) return unsigned(index - 1);
    if (index == 0) return 0;
    // The open end stands for no number at all: a real number never lands on it by nearness.
    const RangePickerViewData& below = pickerData[index - 1];
    if (below.value == MinMaxUnbounded) return unsigned(index);
    const double distanceBelow = value - below.value;
    const double distanceAbove = pickerData[index].value - value;
    return distanceAbove > distanceBelow ? unsigned(index - 1) : unsigned(index);
}

void RangePickerView::setAccessibilityLabelForMinimumComponent(const QString& label) {
    minimumLabel_ = label;
    pickerView_->reloadComponent(0);
}

void RangePickerView::setAccessibilityLabelForMaximumComponent(const QString& label) {
    maximumLabel_ = label;
    pickerView_->reloadComponent(1);
}

void RangePickerView::setAccessibilityHintForMinimumComponent(const QString& hint) {
    minimumHint_ = hint;
    pickerView_->reloadComponent(0);
}

void RangePickerView::setAccessibilityHintForMaximumComponent(const QString& hint) {
    maximumHint_ = hint;
    pickerView_->reloadComponent(1);
}

void RangePickerView::layoutSubviews() {
    pickerView_->setFrame(QRectF(QPointF(0, 0), bounds().size()));
}

void RangePickerView::updatePickerWheelsAnimated(bool animated) {
    pickerView_->selectRow(int(minimumItemIndex_), 0, animated);
    pickerView_->selectRow(int(maximumItemIndex_), 1, animated);
}

void RangePickerView::wheelDidSelectRow(int row, int component) {
    const unsigned which = component == 0 ? 0 : 1;
    if (which == 0) {
        minimumItemIndex_ = unsigned(row);
    } else {
        maximumItemIndex_ = unsigned(row);
    }
    if (auto delegate = delegate_.lock()) delegate->rangePickerViewDidChangeComponent(*this, which);
}

}  // namespace tovrin
