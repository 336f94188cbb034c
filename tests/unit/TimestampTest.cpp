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

// Clock readings keep their microseconds, on both sides of 1970.
TEST(TimestampTest, TakesSystemTimeTruncatedToTheMicrosecond) {
    using std::chrono::year;
    EXPECT_EQ(timestampFromSystemTime(SystemTime{std::chrono::sys_days{year{2024} / 3 / 1}} + 789ms + 999ns),
              at(year{2024} / 3 / 1, 789ms));
    EXPECT_EQ(timestampFromSystemTime(SystemTime{} - 1ns), at(year{1970} / 1 / 1, -1us));
}

// Back on the platform clock where it reaches; the sentinels lie beyond it and must not wrap around.
TEST(TimestampTest, GoesBackToSystemTimeOnlyWithinItsRange) {
    using std::chrono::year;
    const SystemTime instant = SystemTime{std::chrono::sys_days{year{2024} / 3 / 1}} + 789us;
    EXPECT_EQ(systemTimeFromTimestamp(timestampFromSystemTime(instant)), instant);
    EXPECT_EQ(systemTimeFromTimestamp(at(year{1900} / 1 / 1)), SystemTime{std::chrono::sys_days{year{1900} / 1 / 1}});
    EXPECT_EQ(systemTimeFromTimestamp(distantPast()), std::nullopt);
    EXPECT_EQ(systemTimeFromTimestamp(distantFuture()), std::nullopt);
}

// Written as seconds since 2001 and read again, an instant comes back equal: arrivals are compared with ==.
// The sentinels are the calendar dates they stand for, not values clipped by a too-short clock.
TEST(TimestampTest, InstantsReadBackEqualThroughJson) {
    using std::chrono::year;
    EXPECT_EQ(distantPast(), at(year{1} / 1 / 1));
    EXPECT_EQ(distantFuture(), at(year{4001} / 1 / 1));
    const struct {
        Timestamp instant;
        std::string json;
    } cases[] = {
        {distantPast(), "-63113904000"},
        {distantFuture(), "63113904000"},
        {at(year{2024} / 3 / 1, 1us), "730944000.000001"},
        {at(year{2000} / 12 / 31, 23h + 59min + 59s + 999999us), "-1e-06"},
        {at(year{2262} / 4 / 12), "8245065600"},
        {at(year{1729} / 1 / 1, 999999us), "-8583494399.000001"},
        {at(year{2272} / 12 / 31, 23h + 59min + 59s + 1us), "8583494399.000001"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        EXPECT_EQ(json::encode(c.instant), c.json);
        EXPECT_EQ(json::decode<Timestamp>(c.json), c.instant);
    }
}

// Hand-edited or damaged stores may hold anything; a value no Timestamp can hold is refused, never wrapped.
TEST(TimestampTest, RefusesSecondsOutsideTheRange) {
    for (const double seconds : {std::nan(""), std::numeric_limits<double>::infinity(), 1e13, -1e300}) {
        EXPECT_EQ(timestampFromSecondsSinceReferenceDate(seconds), std::nullopt) << seconds;
    }
}

}  // namespace
}  // namespace fenk
