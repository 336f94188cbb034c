#include "FenkSDK/json/RecordCodec.h"
#include "FenkSDK/location/Timestamp.h"
#include "FenkSDK/location/TimestampCodec.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

namespace fenk {
namespace {

using namespace std::chrono_literals;

constexpr std::chrono::sys_days kReferenceDate{std::chrono::year{2001} / 1 / 1};

// Built from the calendar directly: the platform clock cannot reach most of these dates.
Timestamp at(std::chrono::sys_days day, std::chrono::microseconds time = {}) {
    return Timestamp{day - kReferenceDate} + time;
}

// The sentinels are the calendar dates they stand for, not values clipped by a too-short clock.
TEST(TimestampTest, SentinelsAreTheFirstDaysOfYearOneAndYear4001) {
    using std::chrono::year;
    EXPECT_EQ(distantPast(), at(year{1} / 1 / 1));
    EXPECT_EQ(distantFuture(), at(year{4001} / 1 / 1));
    EXPECT_EQ(secondsSinceReferenceDate(distantPast()), -63113904000.0);
    EXPECT_EQ(secondsSinceReferenceDate(distantFuture()), 63113904000.0);
}

// Clock readings keep their microseconds, on both sides of 1970 and of 2001.
TEST(TimestampTest, TakesSystemTimeTruncatedToTheMicrosecond) {
    using std::chrono::year;
    const struct {
        SystemTime time;
        Timestamp expected;
    } cases[] = {
        {SystemTime{kReferenceDate}, Timestamp{}},
        {SystemTime{std::chrono::sys_days{year{2024} / 3 / 1}} + 789ms + 999ns, at(year{2024} / 3 / 1, 789ms)},
        {SystemTime{} - 1ns, at(year{1970} / 1 / 1, -1us)},
    };
    for (const auto& c : cases) EXPECT_EQ(timestampFromSystemTime(c.time), c.expected);
}

// Written as seconds since 2001 and read again, an instant comes back equal: arrivals are compared with ==.
TEST(TimestampTest, InstantsReadBackEqualThroughJson) {
    using std::chrono::year;
    const struct {
        Timestamp instant;
        std::string json;
    } cases[] = {
        {distantPast(), "-63113904000"},
        {distantFuture(), "63113904000"},
        {Timestamp{}, "0"},
        {at(year{2024} / 3 / 1, 12h + 34min + 56s + 789ms), "730989296.789"},
        {at(year{2024} / 3 / 1, 1us), "730944000.000001"},
        {at(year{2000} / 12 / 31, 23h + 59min + 59s + 999999us), "-1e-06"},
        {at(year{1970} / 1 / 1, -1us), "-978307200.000001"},
        {at(year{2262} / 4 / 12), "8245065600"},
        {at(year{1729} / 1 / 1, 999999us), "-8583494399.000001"},
        {at(year{2272} / 12 / 31, 23h + 59min + 59s + 1us), "8583494399.000001"},
        {at(year{1} / 1 / 1, 1s), "-63113903999"},
        {at(year{4000} / 12 / 31, 23h + 59min + 59s), "63113903999"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        const std::optional<std::string> written = json::encode(c.instant);
        EXPECT_EQ(written, c.json);
        EXPECT_EQ(json::decode<Timestamp>(c.json), c.instant);
    }
}

// Hand-edited or damaged stores may hold anything; a value no Timestamp can hold is refused, never wrapped.
TEST(TimestampTest, RefusesSecondsOutsideTheRange) {
    for (const double seconds : {std::nan(""), std::numeric_limits<double>::infinity(), 1e13, -1e300}) {
        SCOPED_TRACE(seconds);
        EXPECT_EQ(timestampFromSecondsSinceReferenceDate(seconds), std::nullopt);
    }
    std::string error;
    EXPECT_FALSE(json::decode<Timestamp>("1e19", &error));
    EXPECT_NE(error.find("instant out of range"), std::string::npos) << error;
    EXPECT_FALSE(json::decode<Timestamp>(R"("730944000")", &error));
    EXPECT_NE(error.find("expected a number"), std::string::npos) << error;
}

}  // namespace
}  // namespace fenk
