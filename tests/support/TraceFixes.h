#pragma once

#include "FenkSDK/location/LocationFix.h"
#include "FenkSDK/location/Timestamp.h"
#include "FenkSDK/places/GreatCircle.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

namespace fenk::test {

inline constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

inline Timestamp utc(std::chrono::year_month_day date, std::chrono::microseconds timeOfDay = {}) {
    return Timestamp{std::chrono::sys_days{date} - detail::kTimestampEpoch + timeOfDay};
}

// Traces are laid out in metres north of one base point and in minutes from one start, so that a test reads
// as distances and durations.
inline constexpr LocationCoordinate2D kTraceBase{40.4168, -3.7038};
inline constexpr Timestamp kTraceStart{std::chrono::hours(24 * 365 * 26)};
inline constexpr double kMetersPerDegree = kEarthRadiusMeters * std::numbers::pi / 180;

inline LocationCoordinate2D pointAt(double northMeters, double eastMeters = 0) {
    return {kTraceBase.latitude + northMeters / kMetersPerDegree,
            kTraceBase.longitude +
                eastMeters / (kMetersPerDegree * std::cos(kTraceBase.latitude * std::numbers::pi / 180))};
}

inline LocationFix fixAt(double northMeters, double minutes = 0, double accuracy = 5) {
    return {.coordinate = pointAt(northMeters),
            .horizontalAccuracy = accuracy,
            .timestamp = kTraceStart + std::chrono::duration_cast<TimestampClock::duration>(
                                           std::chrono::duration<double, std::ratio<60>>(minutes))};
}

inline long minuteOf(const LocationFix& fix) {
    return std::chrono::duration_cast<std::chrono::minutes>(fix.timestamp - kTraceStart).count();
}

// The same instants, positions to 1e-7 degree, other measures to `tolerance`; NaN (not given) matches only NaN.
inline void expectSameFixes(const std::vector<LocationFix>& actual, const std::vector<LocationFix>& expected,
                            double tolerance = 1e-5) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        SCOPED_TRACE("fix " + std::to_string(i));
        const LocationFix &got = actual[i], &want = expected[i];
        EXPECT_EQ(got.timestamp, want.timestamp);
        EXPECT_NEAR(got.coordinate.latitude, want.coordinate.latitude, 1e-7);
        EXPECT_NEAR(got.coordinate.longitude, want.coordinate.longitude, 1e-7);
        const struct { const char* name; double got, want; } measures[] = {
            {"altitude", got.altitude, want.altitude},
            {"horizontal accuracy", got.horizontalAccuracy, want.horizontalAccuracy},
            {"vertical accuracy", got.verticalAccuracy, want.verticalAccuracy},
            {"speed", got.speed, want.speed},
            {"course", got.course, want.course}};
        for (const auto& m : measures) {
            if (std::isnan(m.want)) EXPECT_TRUE(std::isnan(m.got)) << m.name << " is " << m.got << ", expected none";
            else EXPECT_NEAR(m.got, m.want, tolerance) << m.name;
        }
    }
}

}  // namespace fenk::test
