#pragma once

#include <memory>
#include <optional>

#include "platform/foundation/Date.h"
#include "platform/ui/controls/Control.h"

namespace tovrin::ui {

class PickerView;

// Wheels for a date (month, day, year), a time (hour, minute, AM/PM) or both (day, hour, minute,
// AM/PM), in local time. Turning a wheel changes the date, kept between the minimum and the maximum,
// and sends ValueChanged.
class DatePicker : public Control {
    Q_OBJECT
public:
    enum class Mode { Date, Time, DateAndTime };

    explicit DatePicker(QWidget* parent = nullptr);
    ~DatePicker() override;

    Mode mode() const { return mode_; }
    void setMode(Mode mode);
    tovrin::Date date() const { return date_; }
    void setDate(tovrin::Date date, bool animated = false);
    const std::optional<tovrin::Date>& minimumDate() const { return minimumDate_; }
    void setMinimumDate(std::optional<tovrin::Date> date);
    const std::optional<tovrin::Date>& maximumDate() const { return maximumDate_; }
    void setMaximumDate(std::optional<tovrin::Date> date);

    PickerView* pickerView() const { return picker_; }
    QSizeF sizeThatFits(const QSizeF& size) const override;

protected:
    void layoutSubviews() override;

private:
    class Wheels;
    friend class Wheels;

    void userChanged();
    void showDate(bool animated);
    tovrin::Date clamped(tovrin::Date date) const;

    Mode mode_ = Mode::DateAndTime;
    tovrin::Date date_;
    std::optional<tovrin::Date> minimumDate_;
    std::optional<tovrin::Date> maximumDate_;
    PickerView* picker_;
    std::shared_ptr<Wheels> wheels_;
};

}  // namespace tovrin::ui
