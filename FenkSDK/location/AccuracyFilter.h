#pragma once

#include "FenkSDK/api/FG_Extra.h"
#include "FenkSDK/location/StoredLocation.h"

#include <cstdint>
#include <vector>

namespace fenk {

// The worst horizontal accuracy, in whole metres, a fix may have: the last "userAccuracyMaxValue" app
// parameter whose whole text is a decimal number, truncated toward zero; 0 (no limit) otherwise.
std::int64_t accuracyLimit(const std::vector<FG_Extra>& appParameters);

// Fixes less accurate than the limit are dropped; visits and region records always pass.
bool failsAccuracyLimit(const StoredLocation& record, std::int64_t limit);

}  // namespace fenk
