#pragma once

#include "FenkSDK/api/FG_Extra.h"

#include <vector>

namespace fenk {

// Whether the app parameters ask the user to accept the legal terms before tracking starts: the parameter
// "requiresPermissionsAcceptance" read as a yes/no text; an entry without a value says no, and a missing
// entry says yes.
bool requiresPermissionsAcceptance(const std::vector<FG_Extra>& appParameters);

}  // namespace fenk
