#pragma once

#include "FenkSDK/location/LocationFix.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <variant>
#include <vector>

namespace fenk {

// The fixes of a GPX or NMEA file, ready to replay, or a one-line message saying why not.
std::variant<std::vector<LocationFix>, std::string> readReplayTrace(const std::filesystem::path& path);

// The generated commuter's weeks, from a Monday so that they line up with the calendar's.
std::vector<LocationFix> generatedCommuter(int weeks, std::uint64_t seed);

// Writes `content` to `path`, replacing it; false when the file could not be written whole.
bool writeFile(const std::filesystem::path& path, const std::string& content);

}  // namespace fenk
