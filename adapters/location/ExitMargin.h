#pragma once

#include <algorithm>
#include <cmath>

namespace fenk {

// How far beyond a boundary a fix must lie before the device counts as having left: wide enough that a fix
// jittering around the boundary does not flap in and out, and wider for a vague fix, within reason.
inline double exitMarginMeters(double horizontalAccuracy) {
    constexpr double kMinimumMeters = 25;
    constexpr double kMaximumMeters = 100;
    if (!std::isfinite(horizontalAccuracy)) return kMinimumMeters;
    return std::clamp(horizontalAccuracy, kMinimumMeters, kMaximumMeters);
}

}  // namespace fenk
