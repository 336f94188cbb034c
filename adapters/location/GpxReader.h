#pragma once

#include "adapters/location/TraceResult.h"

#include <string_view>

namespace fenk {

// The track points and route points of a GPX 1.0 or 1.1 document, with their time, elevation, hdop and, when
// present, speed and course (as GPX 1.0 elements or extension elements of those names). Points without a
// time are left out: a plotted route says where, not when.
TraceResult readGpx(std::string_view document, const TraceLimits& limits);

}  // namespace fenk
