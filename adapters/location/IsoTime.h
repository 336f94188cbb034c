#pragma once

#include "FenkSDK/location/Timestamp.h"

#include <optional>
#include <string>
#include <string_view>

namespace fenk {

// "2024-03-01T08:15:30Z", with any number of fractional-second digits (kept to the microsecond, the rest
// dropped) and "Z", "+hh:mm", "+hhmm" or no zone at all (trace times are UTC). Absent for anything else.
std::optional<Timestamp> parseIsoTime(std::string_view text);

// The same form in UTC with six fractional digits; absent outside the years 0000-9999.
std::optional<std::string> formatIsoTime(Timestamp timestamp);

}  // namespace fenk
