#pragma once

#include "FenkSDK/location/LocationFix.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

namespace fenk {

inline constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

inline Timestamp utc(std::chrono::year_month_day date, std::chrono::microseconds timeOfDay = {}) {
    return Timestamp{std::chrono::sys_days{date} - detail::kTimestampEpoch + timeOfDay};
}

// Both NaN (a value the source did not give), or within the tolerance.
inline void expectSameMeasure(const char* what, double actual, double expected, double tolerance) {
    if (std::isnan(expected)) {
        EXPECT_TRUE(std::isnan(actual)) << what << " is " << actual << ", expected none";
    } else {
        EXPECT_NEAR(actual, expected, tolerance) << what;
    }
}

// The same instants to the microsecond, positions to 1e-7 degree, other measures to 1e-5.
inline void expectSameFixes(const std::vector<LocationFix>& actual, const std::vector<LocationFix>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        SCOPED_TRACE("fix " + std::to_string(i));
        EXPECT_EQ(actual[i].timestamp, expected[i].timestamp);
        EXPECT_NEAR(actual[i].coordinate.latitude, expected[i].coordinate.latitude, 1e-7);
        EXPECT_NEAR(actual[i].coordinate.longitude, expected[i].coordinate.longitude, 1e-7);
        expectSameMeasure("altitude", actual[i].altitude, expected[i].altitude, 1e-5);
        expectSameMeasure("horizontal accuracy", actual[i].horizontalAccuracy, expected[i].horizontalAccuracy, 1e-5);
        expectSameMeasure("vertical accuracy", actual[i].verticalAccuracy, expected[i].verticalAccuracy, 1e-5);
        expectSameMeasure("speed", actual[i].speed, expected[i].speed, 1e-5);
        expectSameMeasure("course", actual[i].course, expected[i].course, 1e-5);
    }
}

}  // namespace fenk
