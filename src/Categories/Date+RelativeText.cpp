#include "Categories/Date+RelativeText.h"

#include <QCoreApplication>
#include <QLocale>
#include <cmath>
#include <limits>

#include "platform/foundation/Localization.h"
#include "platform/foundation/Numbers.h"

namespace tovrin {

namespace {

bool isLongForm(quint64 displayOption) {
    return displayOption != 0;
}

QString prefix(quint64 displayOption) {
    return isLongForm(displayOption) ? localizedString("Online ") : QString();
}

}  // namespace

CalendarDifference calendarDifference(Date from, Date to) {
    if (to < from) {
        const CalendarDifference reverse = calendarDifference(to, from);
        return {-reverse.days, -reverse.hours, -reverse.minutes};
    }
    const QDateTime start = from.toQDateTime();
    const QDateTime end = to.toQDateTime();
    // Dates beyond any calendar: whole days of 24 hours, and "not a number" as none.
    constexpr qint64 manyDays = std::numeric_limits<qint64>::max();
    if (!start.isValid() || !end.isValid()) {
        const double days = std::floor(to.timeIntervalSinceDate(from) / 86400.0);
        return {std::isnan(days) ? 0 : integerIfInRange(days).value_or(manyDays), 0, 0};
    }
    // Calendar days keep the wall-clock time, so a day across a daylight-saving change is 23 or
    // 25 hours long.
    qint64 days = start.daysTo(end);
    while (days > 0 && start.addDays(days) > end) --days;
    const double anchorOffset =
        (double(start.addDays(days).toMSecsSinceEpoch()) - double(start.toMSecsSinceEpoch())) / 1000.0;
    const double remaining = std::max(0.0, to.timeIntervalSinceDate(from) - anchorOffset);
    const qint64 hours = integerIfInRange(std::floor(remaining / 3600.0)).value_or(0);
    const qint64 minutes = integerIfInRange(std::floor((remaining - hours * 3600.0) / 60.0)).value_or(0);
    return {days, hours, minutes};
}

QString timeIntervalAsStringSinceDate(Date receiver, Date date, quint64 displayOption) {
    CalendarDifference difference = calendarDifference(receiver, date);
    // A last-seen date a little ahead of the clock reads as just now, never as a negative count.
    if (difference.days < 0 || difference.hours < 0 || difference.minutes < 0) difference = {};
    if (difference.days > 30) return timeIntervalSinceNowAsStringForOffline(displayOption);
    if (difference.days >= 1)
        return timeIntervalSinceNowAsStringForDayComponent(difference.days, displayOption);
    if (difference.hours >= 1)
        return timeIntervalSinceNowAsStringForHourComponent(difference.hours, displayOption);
    return timeIntervalSinceNowAsStringForMinuteComponent(difference.minutes, displayOption);
}

QString timeIntervalSinceNowAsStringForDayComponent(qint64 day, quint64 displayOption) {
    if (day == 1) return localizedString("%1%2 day ago").arg(prefix(displayOption), QStringLiteral("1"));
    return localizedString("%1%2 days ago").arg(prefix(displayOption), QString::number(day));
}

QString timeIntervalSinceNowAsStringForHourComponent(qint64 hour, quint64 displayOption) {
    const QString word = isLongForm(displayOption) ? QStringLiteral("hour") : QStringLiteral("hr");
    if (hour == 1)
        return localizedString("%1%2 %3 ago").arg(prefix(displayOption), QStringLiteral("1"), word);
    return localizedString("%1%2 %3s ago").arg(prefix(displayOption), QString::number(hour), word);
}

QString timeIntervalSinceNowAsStringForMinuteComponent(qint64 minute, quint64 displayOption) {
    const QString word = isLongForm(displayOption) ? QStringLiteral("minute") : QStringLiteral("min");
    if (minute == 1)
        return localizedString("%1%2 %3 ago").arg(prefix(displayOption), QStringLiteral("1"), word);
    return localizedString("%1%2 %3s ago").arg(prefix(displayOption), QString::number(minute), word);
}

QString timeIntervalSinceNowAsStringForOffline(quint64 displayOption) {
    return isLongForm(displayOption) ? QStringLiteral("Offline") : QString();
}

QString timeIntervalForEventAsStringSinceDate(Date receiver, Date date) {
    const CalendarDifference difference = calendarDifference(receiver, date);
    if (difference.days >= 2) return localizedString("%1d ago").arg(difference.days);
    if (difference.days == 1) return localizedString("Yesterday");
    if (difference.days < 1 && difference.hours >= 1) return localizedString("%1h ago").arg(difference.hours);
    if (difference.days < 1 && difference.hours < 1 && difference.minutes >= 10) {
        return localizedString("%1m ago").arg(difference.minutes);
    }
    return localizedString("Just now!");
}

QString timeIntervalForDayEventAsStringSinceDate(Date receiver, Date date) {
    const QDate day = receiver.toQDateTime().date();
    const QDate today = date.toQDateTime().date();
    if (day == today) return localizedString("Today");
    if (day == today.addDays(-1)) return localizedString("Yesterday");
    const CalendarDifference difference = calendarDifference(receiver, date);
    const QLocale locale;  // the default locale: the system's unless the application set one
    if (difference.days >= 6) return locale.toString(receiver.toQDateTime(), QStringLiteral("ddd, MMM dd"));
    const QString weekday = locale.toString(receiver.toQDateTime(), QStringLiteral("dddd"));
    return QCoreApplication::translate("Localizable", weekday.toUtf8().constData());
}

}  // namespace tovrin
