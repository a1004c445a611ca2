#include "platform/ui/controls/DatePicker.h"

#include <QLocale>

#include "platform/ui/controls/PickerView.h"

namespace tovrin::ui {
namespace {

enum class Column { Month, Day, Year, DayOfRange, Hour, Minute, Meridiem };

constexpr int DaysAround = 365 * 2;

QDate firstYearDate(const std::optional<tovrin::Date>& minimum) {
    return minimum ? minimum->toQDateTime().date() : QDate(1900, 1, 1);
}

QDate lastYearDate(const std::optional<tovrin::Date>& maximum) {
    return maximum ? maximum->toQDateTime().date() : QDate(2100, 12, 31);
}

}  // namespace

// Serves the picker's wheels for the mode and turns their rows into a date and back.
class DatePicker::Wheels : public PickerViewDataSource, public PickerViewDelegate {
public:
    explicit Wheels(DatePicker* owner) : owner_(owner) {}

    std::vector<Column> columns() const {
        switch (owner_->mode_) {
            case Mode::Date:
                return {Column::Month, Column::Day, Column::Year};
            case Mode::Time:
                return {Column::Hour, Column::Minute, Column::Meridiem};
            case Mode::DateAndTime:
                return {Column::DayOfRange, Column::Hour, Column::Minute, Column::Meridiem};
        }
        return {};
    }

    QDate anchor() const { return QDate::currentDate(); }

    int numberOfComponents(PickerView&) override { return int(columns().size()); }

    int numberOfRowsInComponent(PickerView&, int component) override {
        switch (columns()[size_t(component)]) {
            case Column::Month:
                return 12;
            case Column::Day:
                return 31;
            case Column::Year:
                return lastYearDate(owner_->maximumDate_).year() -
                       firstYearDate(owner_->minimumDate_).year() + 1;
            case Column::DayOfRange:
                return 2 * DaysAround + 1;
            case Column::Hour:
                return 12;
            case Column::Minute:
                return 60;
            case Column::Meridiem:
                return 2;
        }
        return 0;
    }

    std::optional<QString> titleForRow(PickerView&, int row, int component) override {
        const QLocale locale;
        switch (columns()[size_t(component)]) {
            case Column::Month:
                return locale.standaloneMonthName(row + 1);
            case Column::Day:
                return QString::number(row + 1);
            case Column::Year:
                return QString::number(firstYearDate(owner_->minimumDate_).year() + row);
            case Column::DayOfRange: {
                const QDate day = anchor().addDays(row - DaysAround);
                return day == anchor() ? QStringLiteral("Today")
                                       : locale.toString(day, QStringLiteral("ddd MMM d"));
            }
            case Column::Hour:
                return QString::number(row == 0 ? 12 : row);
            case Column::Minute:
                return QStringLiteral("%1").arg(row, 2, 10, QLatin1Char('0'));
            case Column::Meridiem:
                return row == 0 ? locale.amText() : locale.pmText();
        }
        return std::nullopt;
    }

    std::optional<double> widthForComponent(PickerView& picker, int component) override {
        const double width = picker.bounds().width();
        switch (columns()[size_t(component)]) {
            case Column::Month:
            case Column::DayOfRange:
                return width * 0.4;
            default:
                return std::nullopt;
        }
    }

    void didSelectRow(PickerView&, int, int) override { owner_->userChanged(); }

    // The rows that show the date.
    std::vector<int> rowsFor(const QDateTime& moment) const {
        std::vector<int> rows;
        const QDate day = moment.date();
        const QTime time = moment.time();
        for (Column column : columns()) {
            switch (column) {
                case Column::Month:
                    rows.push_back(day.month() - 1);
                    break;
                case Column::Day:
                    rows.push_back(day.day() - 1);
                    break;
                case Column::Year:
                    rows.push_back(day.year() - firstYearDate(owner_->minimumDate_).year());
                    break;
                case Column::DayOfRange:
                    rows.push_back(
                        int(std::clamp<qint64>(anchor().daysTo(day) + DaysAround, 0, 2 * DaysAround)));
                    break;
                case Column::Hour:
                    rows.push_back(time.hour() % 12);
                    break;
                case Column::Minute:
                    rows.push_back(time.minute());
                    break;
                case Column::Meridiem:
                    rows.push_back(time.hour() >= 12 ? 1 : 0);
                    break;
            }
        }
        return rows;
    }

    // The date the wheels show, starting from `current` for the parts they do not show.
    QDateTime dateFor(PickerView& picker, const QDateTime& current) const {
        int year = current.date().year(), month = current.date().month(), day = current.date().day();
        int hour = current.time().hour() % 12, minute = current.time().minute();
        bool afternoon = current.time().hour() >= 12;
        QDate chosenDay;
        const auto all = columns();
        for (size_t component = 0; component < all.size(); ++component) {
            const int row = picker.selectedRowInComponent(int(component));
            switch (all[component]) {
                case Column::Month:
                    month = row + 1;
                    break;
                case Column::Day:
                    day = row + 1;
                    break;
                case Column::Year:
                    year = firstYearDate(owner_->minimumDate_).year() + row;
                    break;
                case Column::DayOfRange:
                    chosenDay = anchor().addDays(row - DaysAround);
                    break;
                case Column::Hour:
                    hour = row;
                    break;
                case Column::Minute:
                    minute = row;
                    break;
                case Column::Meridiem:
                    afternoon = row == 1;
                    break;
            }
        }
        if (chosenDay.isValid()) {
            year = chosenDay.year();
            month = chosenDay.month();
            day = chosenDay.day();
        }
        // A day past the end of the month (30 February) becomes the month's last day.
        day = std::min(day, QDate(year, month, 1).daysInMonth());
        return QDateTime(QDate(year, month, day), QTime(hour + (afternoon ? 12 : 0), minute));
    }

private:
    DatePicker* owner_;
};

DatePicker::DatePicker(QWidget* parent)
    : Control(parent),
      date_(tovrin::Date::now()),
      picker_(new PickerView(this)),
      wheels_(std::make_shared<Wheels>(this)) {
    picker_->setDataSource(wheels_);
    picker_->setDelegate(wheels_);
    setFrame(QRectF(0, 0, 320, 216));
    showDate(false);
}

DatePicker::~DatePicker() {
    picker_->setDelegate({});
    picker_->setDataSource({});
}

void DatePicker::setMode(Mode mode) {
    mode_ = mode;
    picker_->reloadAllComponents();
    showDate(false);
}

void DatePicker::setDate(tovrin::Date date, bool animated) {
    date_ = clamped(date);
    showDate(animated);
}

void DatePicker::setMinimumDate(std::optional<tovrin::Date> date) {
    minimumDate_ = date;
    picker_->reloadAllComponents();
    setDate(date_);
}

void DatePicker::setMaximumDate(std::optional<tovrin::Date> date) {
    maximumDate_ = date;
    picker_->reloadAllComponents();
    setDate(date_);
}

tovrin::Date DatePicker::clamped(tovrin::Date date) const {
    if (minimumDate_ && date < *minimumDate_) return *minimumDate_;
    if (maximumDate_ && date > *maximumDate_) return *maximumDate_;
    return date;
}

void DatePicker::showDate(bool animated) {
    const auto rows = wheels_->rowsFor(date_.toQDateTime());
    for (size_t component = 0; component < rows.size(); ++component) {
        picker_->selectRow(rows[component], int(component), animated);
    }
}

void DatePicker::userChanged() {
    const QDateTime current = date_.toQDateTime();
    const QDateTime chosen = wheels_->dateFor(*picker_, current);
    // Seconds and their fractions are not on the wheels; they stay.
    const double seconds =
        date_.timeIntervalSince1970() - double(current.toSecsSinceEpoch()) + current.time().second();
    date_ = clamped(tovrin::Date(double(chosen.toSecsSinceEpoch()) + seconds));
    showDate(true);
    sendActionsForControlEvents(ValueChanged);
}

QSizeF DatePicker::sizeThatFits(const QSizeF& size) const {
    return picker_->sizeThatFits(size);
}

void DatePicker::layoutSubviews() {
    picker_->setFrame(QRectF(QPointF(0, 0), bounds().size()));
    picker_->reloadAllComponents();
    showDate(false);
}

}  // namespace tovrin::ui
