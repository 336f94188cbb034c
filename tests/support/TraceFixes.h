#pragma once

#include "FenkSDK/location/LocationFix.h"
#include "FenkSDK/location/Timestamp.h"
#include "FenkSDK/places/GreatCircle.h"

#include <chrono>
#include <cmath>
#include <numbers>

namespace fenk::test {

// Traces are laid out in metres from one base point and in minutes from one start, so that a test reads as
// distances and durations.
inline constexpr LocationCoordinate2D kTraceBase{40.4168, -3.7038};
inline constexpr Timestamp kTraceStart{std::chrono::hours(24 * 365 * 26)};

inline constexpr double kMetersPerDegree = kEarthRadiusMeters * std::numbers::pi / 180;

inline LocationCoordinate2D pointAt(double northMeters, double eastMeters = 0) {
    return {kTraceBase.latitude + northMeters / kMetersPerDegree,
            kTraceBase.longitude +
                eastMeters / (kMetersPerDegree * std::cos(kTraceBase.latitude * std::numbers::pi / 180))};
}

inline LocationFix fixAt(double northMeters, double minutes = 0, double accuracy = 5) {
    LocationFix fix{};
    fix.coordinate = pointAt(northMeters);
    fix.horizontalAccuracy = accuracy;
    fix.timestamp = kTraceStart + std::chrono::duration_cast<TimestampClock::duration>(
                                      std::chrono::duration<double, std::ratio<60>>(minutes));
    return fix;
}

// When a fix of such a trace was taken, in whole minutes from the start.
inline long minuteOf(const LocationFix& fix) {
    return std::chrono::duration_cast<std::chrono::minutes>(fix.timestamp - kTraceStart).count();
}

}  // namespace fenk::test
