#pragma once

#include "FenkSDK/location/LocationFix.h"
#include "FenkSDK/ports/Location.h"

#include <string_view>
#include <vector>

namespace fenk {

// A region the engine can watch and keep: a valid centre, a radius of finite, non-negative metres and an
// identifier that can be stored.
bool isMonitorable(const CircularRegion& region);

struct RegionEvent {
    CircularRegion region;
    bool entered = false;
};

// Tells, fix by fix, when the device enters or leaves each monitored region. A region's first fix only
// learns which side the device is on: a region started with the device already inside announces nothing.
// Leaving takes a fix clearly beyond the radius, so one jittering on the boundary raises no storm of events.
class RegionMonitor {
public:
    explicit RegionMonitor(std::vector<CircularRegion> regions);

    std::vector<CircularRegion> regions() const;
    // Replaces a region of the same identifier, which learns the device's side afresh.
    void start(const CircularRegion& region);
    // Answers whether such a region was monitored.
    bool stop(std::string_view identifier);

    // Appends to `events` what this fix causes, for the regions that asked to hear it.
    void observe(const LocationFix& fix, std::vector<RegionEvent>& events);

private:
    enum class Side { unknown, inside, outside };
    struct Watched {
        CircularRegion region;
        Side side = Side::unknown;
    };

    std::vector<Watched> watched_;
};

}  // namespace fenk
