#pragma once

#include "FenkSDK/location/LocationFix.h"
#include "FenkSDK/places/GreatCircle.h"

#include <chrono>

namespace fenk {

// Faster than walking pace between two fixes counts as being on the way somewhere.
inline constexpr double kMovingMetersPerSecond = 1.5;

inline bool onTheMove(const LocationFix& from, const LocationFix& to) {
    const double seconds = std::chrono::duration<double>(to.timestamp - from.timestamp).count();
    return seconds > 0 && distanceMeters(from.coordinate, to.coordinate) / seconds >= kMovingMetersPerSecond;
}

}  // namespace fenk
