#include "UserInterface/ContainedPicker.h"

#include "Categories/UI/Font+Tovrin.h"
#include "platform/ui/controls/PickerView.h"
#include "platform/ui/text/Label.h"
#include "platform/ui/views/LayoutConstraint.h"

namespace tovrin {

class ContainedPicker::Wheel : public ui::PickerViewDataSource, public ui::PickerViewDelegate {
public:
    explicit Wheel(ContainedPicker* picker) : picker_(picker) {}

    int numberOfComponents(ui::PickerView&) override {
        return picker_ ? int(picker_->displayData_.size()) : 0;
    }
    int numberOfRowsInComponent(ui::PickerView&, int component) override {
        const QStringList* column = columnAt(component);
        return column ? int(column->size()) : 0;
    }
    std::optional<ui::AttributedString> attributedTitleForRow(ui::PickerView&, int row,
                                                              int component) override {
        ui::TextAttributes attributes;
        attributes.font = tovrinFont(QStringLiteral("DIN OT"), 16);
        attributes.alignment = Qt::AlignCenter;
        return ui::AttributedString(text(row, component), attributes);
    }
    ui::View* viewForRow(ui::PickerView&, int row, int component, ui::View* reusing) override {
        auto* label = qobject_cast<ui::Label*>(reusing);
        if (!label) {
            label = new ui::Label();
            label->setFont(tovrinFont(QStringLiteral("DIN OT"), 22));
            label->setTextAlignment(Qt::AlignCenter);
        }
        label->setText(text(row, component));
        return label;
    }
    std::optional<QString> accessibilityLabelForComponent(ui::PickerView&, int) override {
        if (!picker_) return std::nullopt;
        return picker_->accessibilityLabelForPicker_;
    }
    void didSelectRow(ui::PickerView&, int, int) override {
        if (!picker_) return;
        if (auto delegate = picker_->delegate_.lock())
            delegate->containedPickerDidSelectRow(*picker_, picker_->selectedRow());
    }

private:
    const QStringList* columnAt(int component) const {
        if (!picker_ || component < 0 || size_t(component) >= picker_->displayData_.size()) return nullptr;
        return &picker_->displayData_[size_t(component)];
    }
    QString text(int row, int component) const {
        const QStringList* column = columnAt(component);
        return column && row >= 0 && row < column->size() ? column->at(row) : QString();
    }

    QPointer<ContainedPicker> picker_;
};

ContainedPicker::ContainedPicker(QWidget* parent)
    : View(parent),
      pickerView_(new ui::PickerView()),
      wheel_(std::make_shared<Wheel>(this)),
      heightConstraint_(std::make_shared<ui::LayoutConstraint>(0.0, ui::LayoutConstraint::Required,
                                                               QStringLiteral("ContainedPickerHeight"))) {
    addSubview(pickerView_);
    pickerView_->setDataSource(wheel_);
    pickerView_->setDelegate(wheel_);
    addConstraint(heightConstraint_);
}

ContainedPicker::~ContainedPicker() = default;

void ContainedPicker::setDisplayData(std::vector<QStringList> displayData) {
    displayData_ = std::move(displayData);
    // The wheel here loads its rows only when told to.
    pickerView_->reloadAllComponents();
}

bool ContainedPicker::isOpen() const {
    return heightConstraint_->constant() > 0;
}

void ContainedPicker::toggleVisibility() {
    heightConstraint_->setConstant(isOpen() ? 0.0 : pickerView_->intrinsicContentSize().height());
    invalidateIntrinsicContentSize();
}

int ContainedPicker::selectedRow() const {
    return pickerView_->selectedRowInComponent(0);
}

void ContainedPicker::setSelectedRow(int row) {
    pickerView_->selectRow(row, 0, false);
}

void ContainedPicker::setAccessibilityLabel(const QString& label) {
    accessibilityLabelForPicker_ = label;
    View::setAccessibilityLabel(label);
    pickerView_->reloadAllComponents();
}

QSizeF ContainedPicker::intrinsicContentSize() const {
    return QSizeF(-1, heightConstraint_->constant());
}

void ContainedPicker::layoutSubviews() {
    const double wheelHeight = pickerView_->intrinsicContentSize().height();
    pickerView_->setFrame(QRectF(0, bounds().height() - wheelHeight, bounds().width(), wheelHeight));
}

}  // namespace tovrin
