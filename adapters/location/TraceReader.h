#pragma once

#include "adapters/location/TraceResult.h"

#include <filesystem>
#include <string_view>

namespace fenk {

// Reads a recorded trace, GPX or NMEA, telling them apart by their content rather than by the file's name.
TraceResult readTrace(std::string_view content, const TraceLimits& limits = {});

// The same from a file; a file over the size limit is refused before it is read.
TraceResult readTraceFile(const std::filesystem::path& path, const TraceLimits& limits = {});

}  // namespace fenk
