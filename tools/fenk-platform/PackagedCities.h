#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/fenk-platform/Gazetteer.h"

namespace fenk {

// The cities of the gazetteer library Debian ships (libgeonames0, about 24,000 cities with their region
// and country), read through its C interface. Opened at run time, so that the platform builds and runs
// without it. None, with a one-line reason in `error`, when the library or one of its functions is missing.
std::optional<std::vector<GazetteerCity>> loadPackagedCities(const std::string& library, std::string& error);

}  // namespace fenk
