#pragma once

#include <QDateTime>
#include <compare>

namespace tovrin {

// A moment as seconds since 1970-01-01 00:00 UTC, kept as a double so that fractions of a
// millisecond survive (chat timestamps and stored dates carry them).
class Date {
public:
    constexpr Date() = default;
    constexpr explicit Date(double secondsSince1970) : seconds_(secondsSince1970) {}

    static Date now();
    static constexpr Date fromMillisecondsSince1970(double milliseconds) {
        return Date(milliseconds / 1000.0);
    }
    static Date fromQDateTime(const QDateTime& dateTime);

    constexpr double timeIntervalSince1970() const { return seconds_; }
    constexpr double millisecondsSince1970() const { return seconds_ * 1000.0; }
    constexpr double timeIntervalSinceDate(Date other) const { return seconds_ - other.seconds_; }
    constexpr Date addingTimeInterval(double seconds) const { return Date(seconds_ + seconds); }

    // Local time, for calendar work and display; invalid for a date that is not a number or lies
    // beyond the 64-bit millisecond range.
    QDateTime toQDateTime() const;
    QString toISOString() const;

    constexpr auto operator<=>(const Date&) const = default;

private:
    double seconds_ = 0;
};

}  // namespace tovrin
