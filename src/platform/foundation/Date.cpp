#include "platform/foundation/Date.h"

#include <chrono>
#include <cmath>

#include "platform/foundation/Numbers.h"

namespace tovrin {

Date Date::now() {
    const auto since = std::chrono::system_clock::now().time_since_epoch();
    return Date(std::chrono::duration<double>(since).count());
}

Date Date::fromQDateTime(const QDateTime& dateTime) {
    return Date::fromMillisecondsSince1970(static_cast<double>(dateTime.toMSecsSinceEpoch()));
}

QDateTime Date::toQDateTime() const {
    const std::optional<qint64> milliseconds = integerIfInRange(std::floor(seconds_ * 1000.0));
    if (!milliseconds) return QDateTime();
    return QDateTime::fromMSecsSinceEpoch(*milliseconds);
}

QString Date::toISOString() const {
    return toQDateTime().toUTC().toString(Qt::ISODateWithMs);
}

}  // namespace tovrin
