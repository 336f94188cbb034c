#pragma once

#include "FenkSDK/ports/Clock.h"

#include <chrono>
#include <cstdint>
#include <optional>

namespace fenk {

// The time base of positions and stays. The platform clock counts nanoseconds and ends in 2262, which
// cannot hold the far-past and far-future sentinels; whole microseconds in 64 bits reach ±290,000 years.
// The epoch is 2001-01-01T00:00:00Z, the reference date stored records count their seconds from.
struct TimestampClock {
    using rep = std::int64_t;
    using period = std::micro;
    using duration = std::chrono::duration<rep, period>;
    using time_point = std::chrono::time_point<TimestampClock>;
    static constexpr bool is_steady = false;
};

using Timestamp = TimestampClock::time_point;

namespace detail {
inline constexpr std::chrono::sys_days kTimestampEpoch{std::chrono::year{2001} / 1 / 1};
}  // namespace detail

// Stands for a missing arrival: 0001-01-01T00:00:00Z.
constexpr Timestamp distantPast() {
    return Timestamp{std::chrono::sys_days{std::chrono::year{1} / 1 / 1} - detail::kTimestampEpoch};
}

// Stands for "not left yet": 4001-01-01T00:00:00Z.
constexpr Timestamp distantFuture() {
    return Timestamp{std::chrono::sys_days{std::chrono::year{4001} / 1 / 1} - detail::kTimestampEpoch};
}

// Truncated towards the past to whole microseconds.
Timestamp timestampFromSystemTime(SystemTime time);

// The same instant on the platform clock; absent outside the years that clock can hold (1678 to 2262),
// the sentinels among them.
std::optional<SystemTime> systemTimeFromTimestamp(Timestamp timestamp);

// The nearest double. Read back by the function below, it gives the same Timestamp for every whole second
// (the sentinels included) and for every microsecond from 1729 to 2272; further out a double's steps are
// wider than a microsecond.
double secondsSinceReferenceDate(Timestamp timestamp);

// Rounded to the nearest microsecond. Absent for NaN, infinity and anything a Timestamp cannot hold.
std::optional<Timestamp> timestampFromSecondsSinceReferenceDate(double seconds);

}  // namespace fenk
