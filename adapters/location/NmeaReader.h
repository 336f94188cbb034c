#pragma once

#include "adapters/location/TraceResult.h"

#include <string_view>

namespace fenk {

// A log of NMEA 0183 sentences from any talker. RMC gives date, time, position, speed and course; GGA gives
// time, position, altitude and hdop. An RMC and a GGA of the same time make one fix. Invalid RMCs (status V)
// and GGAs without a fix (quality 0) are left out, and so is any other sentence. GGA carries no date: it
// takes the last RMC's (the next day's once its time of day wraps), so GGAs before the first RMC are left out.
TraceResult readNmea(std::string_view log, const TraceLimits& limits);

}  // namespace fenk
