#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonObject>
#include <QSet>
#include <cmath>
#include <limits>

#include "platform/foundation/Coordinate.h"
#include "platform/foundation/Date.h"
#include "platform/foundation/Error.h"
#include "platform/foundation/JSON.h"
#include "platform/foundation/Random.h"
#include "platform/foundation/UUID.h"

namespace tovrin {
namespace {

TEST(Date, KeepsFractionsOfAMillisecond) {
    const Date date = Date::fromMillisecondsSince1970(1.5);
    EXPECT_DOUBLE_EQ(date.millisecondsSince1970(), 1.5);
    EXPECT_DOUBLE_EQ(date.timeIntervalSince1970(), 0.0015);
    EXPECT_EQ(Date::fromMillisecondsSince1970(1000).toISOString(), "1970-01-01T00:00:01.000Z");
    EXPECT_DOUBLE_EQ(Date(10).addingTimeInterval(2.5).timeIntervalSinceDate(Date(10)), 2.5);
    EXPECT_LT(Date(1), Date(2));
}

// A date beyond the 64-bit millisecond range, or not a number, has no calendar date.
TEST(Date, OnlyDatesWithinTheMillisecondRangeBecomeCalendarDates) {
    struct Case {
        const char* name;
        double seconds;
        const char* iso;  // empty: no calendar date
    };
    const double infinity = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {"one second before 1970", -1, "1969-12-31T23:59:59.000Z"},
        {"late 2025", 1'765'000'000.5, "2025-12-06T05:46:40.500Z"},
        {"1e16 seconds", 1e16, ""},
        {"1e300", 1e300, ""},
        {"-1e300", -1e300, ""},
        {"infinity", infinity, ""},
        {"-infinity", -infinity, ""},
        {"NaN", std::numeric_limits<double>::quiet_NaN(), ""},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        const Date date(testCase.seconds);
        EXPECT_EQ(date.toQDateTime().isValid(), *testCase.iso != '\0');
        EXPECT_EQ(date.toISOString(), testCase.iso);
    }
}

TEST(Date, NowFollowsTheSystemClock) {
    const Date now = Date::now();
    EXPECT_NEAR(now.timeIntervalSince1970(), QDateTime::currentMSecsSinceEpoch() / 1000.0, 5.0);
    EXPECT_EQ(Date::fromQDateTime(now.toQDateTime()).millisecondsSince1970(),
              std::floor(now.millisecondsSince1970()));
}

TEST(JSON, ParsesDocumentsAndOnlyWhenAllowedFragments) {
    struct Case {
        QByteArray text;
        bool allowFragments;
        bool parses;
    };
    const std::vector<Case> cases = {
        {R"({"a":1})", false, true}, {"[1,2]", false, true},     {"null", false, false}, {"null", true, true},
        {R"("text")", true, true},   {"12.5", true, true},       {"", true, false},      {"{", false, false},
        {"1 2", true, false},        {R"({"a":1})", true, true},
    };
    for (const auto& testCase : cases) {
        Error error;
        const auto value = JSON::parse(testCase.text, testCase.allowFragments, &error);
        EXPECT_EQ(value.has_value(), testCase.parses) << testCase.text.constData();
        if (!testCase.parses) {
            EXPECT_EQ(error.domain(), JSON::ErrorDomain);
        }
    }
    EXPECT_TRUE(JSON::parse("null", true)->isNull());
    EXPECT_EQ(JSON::parse(R"({"a":[1,"b"]})")->toObject().value("a").toArray().size(), 2);
}

TEST(JSON, SerializesCompactly) {
    EXPECT_EQ(JSON::serialize(QJsonObject{{"a", 1}}), R"({"a":1})");
    EXPECT_EQ(JSON::serialize(QJsonArray{1, "b"}), R"([1,"b"])");
    EXPECT_EQ(JSON::serialize(QJsonValue(QStringLiteral("x"))), R"("x")");
    EXPECT_EQ(JSON::serialize(QJsonValue::Null), "null");
}

TEST(UUID, NewUUIDsAreUpperCaseVersionFourAndDistinct) {
    QSet<QString> seen;
    for (int i = 0; i < 100; ++i) {
        const QString uuid = makeUUIDString();
        ASSERT_EQ(uuid.size(), 36);
        EXPECT_EQ(uuid, uuid.toUpper());
        EXPECT_EQ(uuid[14], QChar('4'));
        for (int dash : {8, 13, 18, 23}) EXPECT_EQ(uuid[dash], QChar('-'));
        EXPECT_TRUE(isUUIDString(uuid));
        seen.insert(uuid);
    }
    EXPECT_EQ(seen.size(), 100);
    EXPECT_FALSE(isUUIDString(QStringLiteral("not-a-uuid")));
}

TEST(Random, ValuesLieBetweenZeroAndOne) {
    for (int i = 0; i < 1000; ++i) {
        const double value = randomUnitValue();
        ASSERT_GE(value, 0.0);
        ASSERT_LE(value, 1.0);
    }
}

TEST(Coordinate, ValidityAndEquality) {
    EXPECT_TRUE((Coordinate{52.52, 13.405}).isValid());
    EXPECT_FALSE((Coordinate{91, 0}).isValid());
    EXPECT_FALSE((Coordinate{0, -181}).isValid());
    EXPECT_FALSE((Coordinate{std::nan(""), 0}).isValid());
    EXPECT_EQ((Coordinate{1, 2}), (Coordinate{1, 2}));
}

TEST(Error, CarriesDomainCodeAndDetails) {
    const Error error(QStringLiteral("Domain"), 16, {{ErrorDescriptionKey, "no connection"}});
    EXPECT_TRUE(error.is(QStringLiteral("Domain"), 16));
    EXPECT_FALSE(error.is(QStringLiteral("Domain"), 1));
    EXPECT_EQ(error.description(), "Domain error 16: no connection");
    EXPECT_EQ(error, Error(QStringLiteral("Domain"), 16, {{ErrorDescriptionKey, "no connection"}}));
}

TEST(ErrorDeathTest, FatalAndFailedAssertionsStopTheProcess) {
    EXPECT_DEATH(TVR_FATAL("Must be initialized with an injector!"), "Must be initialized with an injector!");
    EXPECT_DEATH(TVR_ASSERT(1 + 1 == 3, "arithmetic is broken"), "arithmetic is broken");
    TVR_ASSERT(true, "never shown");
}

}  // namespace
}  // namespace tovrin
