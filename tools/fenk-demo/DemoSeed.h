#pragma once

#include "FenkSDK/location/LocationFix.h"
#include "tools/fenk-demo/DemoFacts.h"
#include "tools/fenk-platform/PlatformSeed.h"

#include <string_view>
#include <vector>

namespace fenk {

inline constexpr std::string_view kDemoAppKey = "demo-app-key";

// What the owner configured before the person's weeks begin: one app that asks for its terms before tracking,
// and places with a notice along the way the trace goes, so that the run meets them.
struct DemoSeed {
    PlatformSeed seed;
    std::vector<NoticePlace> places;
};

// The same fixes give the same seed.
DemoSeed makeDemoSeed(const std::vector<LocationFix>& fixes);

}  // namespace fenk
