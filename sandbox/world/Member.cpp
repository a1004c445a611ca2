#include "sandbox/world/Member.h"

namespace tovrin::sandbox {

namespace {

constexpr double onlineInterval = 600;

}  // namespace

int Member::age(Date now) const {
    const QDate born = birthday.toQDateTime().toUTC().date();
    const QDate today = now.toQDateTime().toUTC().date();
    int years = today.year() - born.year();
    if (today.month() < born.month() || (today.month() == born.month() && today.day() < born.day())) --years;
    return years;
}

bool Member::isOnline(Date now) const {
    return now.timeIntervalSinceDate(lastSeen) <= onlineInterval;
}

}  // namespace tovrin::sandbox
