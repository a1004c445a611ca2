#pragma once

#include <QPointer>
#include <memory>
#include <optional>
#include <vector>

#include "platform/ui/text/AttributedString.h"
#include "platform/ui/views/View.h"

namespace tovrin::ui {

class PickerView;

class PickerViewDataSource {
public:
    virtual ~PickerViewDataSource() = default;
    virtual int numberOfComponents(PickerView& pickerView) = 0;
    virtual int numberOfRowsInComponent(PickerView& pickerView, int component) = 0;
};

// The rows' contents, by a title, an attributed title or a view of the delegate's own.
class PickerViewDelegate {
public:
    virtual ~PickerViewDelegate() = default;
    virtual std::optional<QString> titleForRow(PickerView& pickerView, int row, int component) {
        return std::nullopt;
    }
    virtual std::optional<AttributedString> attributedTitleForRow(PickerView& pickerView, int row,
                                                                  int component) {
        return std::nullopt;
    }
    // A view for the row; `reusing` is one that left the wheel, or null.
    virtual View* viewForRow(PickerView& pickerView, int row, int component, View* reusing) {
        return nullptr;
    }
    virtual double rowHeightForComponent(PickerView& pickerView, int component) { return 32; }
    virtual std::optional<double> widthForComponent(PickerView& pickerView, int component) {
        return std::nullopt;
    }
    virtual void didSelectRow(PickerView& pickerView, int row, int component) {}
    // What a screen reader says of a component's wheel; the hint is its accessible description.
    virtual std::optional<QString> accessibilityLabelForComponent(PickerView& pickerView, int component) {
        return std::nullopt;
    }
    virtual std::optional<QString> accessibilityHintForComponent(PickerView& pickerView, int component) {
        return std::nullopt;
    }
};

// Spinning wheels, one per component. Dragging a wheel and letting go settles it on the nearest row
// (and tells the delegate); tapping a row turns it to the middle. Only the rows in sight exist.
class PickerView : public View {
    Q_OBJECT
public:
    explicit PickerView(QWidget* parent = nullptr);
    ~PickerView() override;

    void setDataSource(std::weak_ptr<PickerViewDataSource> dataSource);
    void setDelegate(std::weak_ptr<PickerViewDelegate> delegate);
    std::shared_ptr<PickerViewDelegate> delegate() const { return delegate_.lock(); }
    std::shared_ptr<PickerViewDataSource> dataSource() const { return dataSource_.lock(); }

    int numberOfComponents() const { return int(wheels_.size()); }
    int numberOfRowsInComponent(int component) const;
    void reloadAllComponents();
    void reloadComponent(int component);
    // Selecting in code tells the delegate nothing.
    void selectRow(int row, int component, bool animated);
    int selectedRowInComponent(int component) const;
    // The view showing the row, while it is in sight.
    View* viewForRow(int row, int component) const;

    QSizeF intrinsicContentSize() const override { return QSizeF(320, 216); }
    QSizeF sizeThatFits(const QSizeF& size) const override;

    // Called by a wheel when it settled on a row by the user's hand.
    void wheelDidSettle(int component, int row);

protected:
    void layoutSubviews() override;
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    class Wheel;
    Wheel* wheel(int component) const;

    std::weak_ptr<PickerViewDataSource> dataSource_;
    std::weak_ptr<PickerViewDelegate> delegate_;
    std::vector<QPointer<Wheel>> wheels_;
};

}  // namespace tovrin::ui
