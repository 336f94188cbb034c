#pragma once

#include "FenkSDK/api/FG_Authenticate.h"

#include <optional>
#include <string>
#include <string_view>

namespace fenk {

// The platform's address for this interface version: platform + "/" + version + "/", an absent part
// counting as empty text.
std::string baseAddress(const FG_Authenticate& record);

// Where a service lives: base address + "json/exec/" + api + path (a path starts with "/"). None when there
// is no record, or it lacks the platform or the api name: such an address could only reach the wrong place.
std::optional<std::string> serviceAddress(const std::optional<FG_Authenticate>& record, std::string_view path);

}  // namespace fenk
