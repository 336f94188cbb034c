#pragma once

#include "FenkSDK/location/LocationFix.h"

#include <optional>
#include <span>
#include <string>

namespace fenk {

// The fixes as one GPX 1.1 track: time, elevation and hdop where known, speed and course in an extensions
// element that readGpx reads back. Numbers are written in their shortest exact form, so reading the document
// gives the same positions and times. Absent when a fix has an invalid position or a time outside the years
// 0000-9999, which GPX cannot hold.
std::optional<std::string> writeGpx(std::span<const LocationFix> fixes);

}  // namespace fenk
