#pragma once

#include <limits>

namespace fenk {

// What a fix holds where the source says nothing.
inline constexpr double kUnknownValue = std::numeric_limits<double>::quiet_NaN();

// A receiver's horizontal error is about five metres for each unit of horizontal dilution: readers turn hdop
// into accuracy with it and the GPX writer turns accuracy back into hdop.
inline constexpr double kMetersPerHdop = 5.0;

}  // namespace fenk
