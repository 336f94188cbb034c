#pragma once

#include "FenkSDK/api/FG_Extra.h"

namespace fenk {

// A name/value pair with the same keys as FG_Extra; no reply the SDK receives uses it.
using FG_Parameter = FG_Extra;

}  // namespace fenk
