#include "FenkSDK/location/Timestamp.h"

#include <cmath>
#include <limits>

namespace fenk {
namespace {

constexpr std::int64_t kMicrosecondsPerSecond = 1'000'000;
constexpr std::int64_t kLargestExactInteger = std::int64_t{1} << std::numeric_limits<double>::digits;

// Keeps whole seconds times a million, plus the rounded fraction, inside 64 bits.
constexpr double kLargestMagnitudeSeconds = 9.2e12;

}  // namespace

Timestamp timestampFromSystemTime(SystemTime time) {
    return Timestamp{std::chrono::floor<TimestampClock::duration>(time - detail::kTimestampEpoch)};
}

std::optional<SystemTime> systemTimeFromTimestamp(Timestamp timestamp) {
    using Microseconds = TimestampClock::duration;
    using Nanoseconds = SystemTime::duration;
    // Counted from 1970, where the platform clock counts from; our epoch is far from either end of it.
    const Microseconds sinceUnixEpoch =
        timestamp.time_since_epoch() + std::chrono::duration_cast<Microseconds>(detail::kTimestampEpoch.time_since_epoch());
    constexpr auto latest = std::chrono::duration_cast<Microseconds>(Nanoseconds::max());
    constexpr auto earliest = std::chrono::duration_cast<Microseconds>(Nanoseconds::min());
    if (sinceUnixEpoch < earliest || sinceUnixEpoch > latest) return std::nullopt;
    return SystemTime(std::chrono::duration_cast<Nanoseconds>(sinceUnixEpoch));
}

double secondsSinceReferenceDate(Timestamp timestamp) {
    const std::int64_t micros = timestamp.time_since_epoch().count();
    // Up to 2^53 the count converts exactly and the one division rounds once.
    if (micros >= -kLargestExactInteger && micros <= kLargestExactInteger) {
        return static_cast<double>(micros) / static_cast<double>(kMicrosecondsPerSecond);
    }
    // Beyond, whole seconds convert exactly and a double's steps are wider than a microsecond, so adding the
    // fraction rounds to the nearest double too; converting the whole count first would round twice.
    const std::int64_t whole = micros / kMicrosecondsPerSecond;
    const std::int64_t fraction = micros % kMicrosecondsPerSecond;
    return static_cast<double>(whole) + static_cast<double>(fraction) / static_cast<double>(kMicrosecondsPerSecond);
}

std::optional<Timestamp> timestampFromSecondsSinceReferenceDate(double seconds) {
    if (!(std::fabs(seconds) <= kLargestMagnitudeSeconds)) return std::nullopt;
    // Subtracting the floor is exact, so the whole seconds lose nothing to the fraction's rounding.
    const double whole = std::floor(seconds);
    const std::int64_t fraction = std::llround((seconds - whole) * static_cast<double>(kMicrosecondsPerSecond));
    return Timestamp{TimestampClock::duration{static_cast<std::int64_t>(whole) * kMicrosecondsPerSecond + fraction}};
}

}  // namespace fenk
