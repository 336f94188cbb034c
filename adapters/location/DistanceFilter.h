#pragma once

#include "FenkSDK/location/LocationCoordinate2D.h"
#include "FenkSDK/location/LocationFix.h"

#include <optional>

namespace fenk {

// Continuous delivery: a fix passes when it lies at least the session's distance from the last one that
// passed. The first fix always passes; a distance of 0 or less lets every fix through.
class DistanceFilter {
public:
    bool admit(const LocationFix& fix, double minimumMeters);
    void reset() { lastDelivered_.reset(); }

private:
    std::optional<LocationCoordinate2D> lastDelivered_;
};

}  // namespace fenk
