#pragma once

#include <QString>

#include "platform/foundation/Date.h"

namespace tovrin {

// Relative-time texts. The receiver is the earlier date (last seen, sent, the event), `date` the
// later one (in practice now, from the caller's date provider).

// Whole days, hours and minutes from one date to another in the device's calendar and time zone
// (1 day 5 hours 3 minutes: 1, 5, 3); negative when `to` is earlier.
struct CalendarDifference {
    qint64 days = 0;
    qint64 hours = 0;
    qint64 minutes = 0;
};
CalendarDifference calendarDifference(Date from, Date to);

// The last-seen text. Display option 0 is the short form ("5 hrs ago", empty when offline), any
// other the long form ("Online 5 hours ago", "Offline").
QString timeIntervalAsStringSinceDate(Date receiver, Date date, quint64 displayOption);
QString timeIntervalSinceNowAsStringForDayComponent(qint64 day, quint64 displayOption);
QString timeIntervalSinceNowAsStringForHourComponent(qint64 hour, quint64 displayOption);
QString timeIntervalSinceNowAsStringForMinuteComponent(qint64 minute, quint64 displayOption);
QString timeIntervalSinceNowAsStringForOffline(quint64 displayOption);

// The inbox row's time: "3d ago", "Yesterday", "5h ago", "12m ago" or "Just now!".
QString timeIntervalForEventAsStringSinceDate(Date receiver, Date date);

// The chat's day header: "Today", "Yesterday", the weekday name within 5 days, else the short
// date ("Mon, Mar 02"). Today and yesterday are the calendar days of `date`.
QString timeIntervalForDayEventAsStringSinceDate(Date receiver, Date date);

}  // namespace tovrin
