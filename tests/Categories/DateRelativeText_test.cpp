#include <gtest/gtest.h>

#include <QLocale>
#include <ctime>
#include <limits>

#include "Categories/Date+Milliseconds.h"
#include "Categories/Date+RelativeText.h"

namespace tovrin {
namespace {

// Relative texts are calendar work in the local time zone; each test fixes the zone and locale.
class RelativeTextTest : public testing::Test {
protected:
    void SetUp() override {
        previousZone_ = qgetenv("TZ");
        useZone("UTC");
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void TearDown() override {
        useZone(previousZone_);
        QLocale::setDefault(QLocale::system());
    }
    static void useZone(const QByteArray& zone) {
        if (zone.isEmpty()) {
            qunsetenv("TZ");
        } else {
            qputenv("TZ", zone);
        }
        tzset();
    }
    static Date local(int year, int month, int day, int hour, int minute, int second = 0) {
        return Date::fromQDateTime(QDateTime(QDate(year, month, day), QTime(hour, minute, second)));
    }

    const Date now = local(2026, 12, 10, 12, 0);
    Date ago(double seconds) const { return now.addingTimeInterval(-seconds); }

private:
    QByteArray previousZone_;
};

constexpr double Minute = 60;
constexpr double Hour = 3600;
constexpr double Day = 86400;

TEST_F(RelativeTextTest, LastSeenInBothForms) {
    struct Case {
        double secondsAgo;
        const char* longForm;
        const char* shortForm;
    };
    const std::vector<Case> cases = {
        {30, "Online 0 minutes ago", "0 mins ago"},
        {1 * Minute, "Online 1 minute ago", "1 min ago"},
        {59 * Minute, "Online 59 minutes ago", "59 mins ago"},
        {60 * Minute, "Online 1 hour ago", "1 hr ago"},
        {5 * Hour + 3 * Minute, "Online 5 hours ago", "5 hrs ago"},
        {23 * Hour + 59 * Minute, "Online 23 hours ago", "23 hrs ago"},
        {1 * Day + 5 * Hour, "Online 1 day ago", "1 day ago"},
        {12 * Day, "Online 12 days ago", "12 days ago"},
        {30 * Day + 23 * Hour, "Online 30 days ago", "30 days ago"},
        {31 * Day, "Offline", ""},
        // A last-seen date ahead of the clock never reads as a negative count.
        {-3 * Minute, "Online 0 minutes ago", "0 mins ago"},
        {-2 * Day, "Online 0 minutes ago", "0 mins ago"},
    };
    for (const auto& testCase : cases) {
        const Date seen = ago(testCase.secondsAgo);
        EXPECT_EQ(timeIntervalAsStringSinceDate(seen, now, 1), testCase.longForm) << testCase.secondsAgo;
        EXPECT_EQ(timeIntervalAsStringSinceDate(seen, now, 0), testCase.shortForm) << testCase.secondsAgo;
    }
    // Any option other than zero is the long form.
    EXPECT_EQ(timeIntervalAsStringSinceDate(ago(Hour), now, 7), "Online 1 hour ago");
}

TEST_F(RelativeTextTest, InboxTimes) {
    struct Case {
        double secondsAgo;
        const char* text;
    };
    const std::vector<Case> cases = {
        {0, "Just now!"},           {9 * Minute + 59, "Just now!"},
        {10 * Minute, "10m ago"},   {59 * Minute, "59m ago"},
        {Hour, "1h ago"},           {23 * Hour + 59 * Minute, "23h ago"},
        {24 * Hour, "Yesterday"},   {47 * Hour + 59 * Minute, "Yesterday"},
        {48 * Hour, "2d ago"},      {3 * Day, "3d ago"},
        {-5 * Minute, "Just now!"},
    };
    for (const auto& testCase : cases) {
        EXPECT_EQ(timeIntervalForEventAsStringSinceDate(ago(testCase.secondsAgo), now), testCase.text)
            << testCase.secondsAgo;
    }
}

TEST_F(RelativeTextTest, ChatDayHeaders) {
    const Date halfPastMidnight = local(2026, 12, 10, 0, 30);  // a Thursday
    struct Case {
        Date sent;
        const char* text;
    };
    const std::vector<Case> cases = {
        {local(2026, 12, 10, 0, 0), "Today"},
        {local(2026, 12, 9, 23, 59), "Yesterday"},
        {local(2026, 12, 9, 0, 0), "Yesterday"},
        // 25.5 hours earlier, two calendar days back: its weekday.
        {local(2026, 12, 8, 23, 0), "Tuesday"},
        {local(2026, 12, 4, 23, 30), "Friday"},
        // More than five whole days: the short date.
        {local(2026, 12, 3, 23, 30), "Thu, Dec 03"},
    };
    for (const auto& testCase : cases) {
        EXPECT_EQ(timeIntervalForDayEventAsStringSinceDate(testCase.sent, halfPastMidnight), testCase.text)
            << testCase.sent.toISOString().toStdString();
    }
}

TEST_F(RelativeTextTest, CalendarDaysFollowTheWallClockAcrossADaylightSavingChange) {
    useZone("Europe/Berlin");
    // Clocks went forward on 29 March 2026: from noon to noon is one day of 23 hours.
    const Date before = local(2026, 3, 28, 12, 0);
    const Date after = local(2026, 3, 29, 12, 0);
    ASSERT_DOUBLE_EQ(after.timeIntervalSinceDate(before), 23 * Hour);
    const CalendarDifference difference = calendarDifference(before, after);
    EXPECT_EQ(difference.days, 1);
    EXPECT_EQ(difference.hours, 0);
    EXPECT_EQ(timeIntervalForEventAsStringSinceDate(before, after), "Yesterday");
}

TEST_F(RelativeTextTest, DifferencesAreWholeDaysHoursAndMinutes) {
    const CalendarDifference forward = calendarDifference(ago(Day + 5 * Hour + 3 * Minute + 59), now);
    EXPECT_EQ(forward.days, 1);
    EXPECT_EQ(forward.hours, 5);
    EXPECT_EQ(forward.minutes, 3);
    const CalendarDifference backward = calendarDifference(now, ago(2 * Hour));
    EXPECT_EQ(backward.hours, -2);
}

// Dates no calendar holds (a server's "seen" of 1e300 ms, say) still give a text, never a cast
// beyond the integer range.
TEST_F(RelativeTextTest, DatesBeyondTheCalendarReadAsOfflineOrJustNow) {
    struct Case {
        const char* name;
        double seen;
        const char* longForm;
    };
    const double infinity = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {"long before", -1e300, "Offline"},
        {"far ahead", 1e300, "Online 0 minutes ago"},
        {"-infinity", -infinity, "Offline"},
        {"infinity", infinity, "Online 0 minutes ago"},
        {"NaN", std::numeric_limits<double>::quiet_NaN(), "Online 0 minutes ago"},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        EXPECT_EQ(timeIntervalAsStringSinceDate(Date(testCase.seen), now, 1), testCase.longForm);
    }
}

TEST(DateMilliseconds, ConvertsWithoutRounding) {
    EXPECT_DOUBLE_EQ(tvr_millisecondsSince1970(Date(0.0015)), 1.5);
    EXPECT_EQ(tvr_dateWithMillisecondsSince1970(1000), Date(1));
    EXPECT_DOUBLE_EQ(tvr_millisecondsSince1970(tvr_dateWithMillisecondsSince1970(1'765'000'000'123.25)),
                     1'765'000'000'123.25);
}

}  // namespace
}  // namespace tovrin
