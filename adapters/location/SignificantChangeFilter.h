#pragma once

#include "FenkSDK/location/LocationCoordinate2D.h"
#include "FenkSDK/location/LocationFix.h"
#include "FenkSDK/location/Timestamp.h"

#include <chrono>
#include <optional>

namespace fenk {

// Significant-change delivery: a fix passes when the device has moved far enough AND enough time has gone
// by since the last fix that passed, so a device that sits still or crawls wakes its host rarely. The first
// fix always passes.
class SignificantChangeFilter {
public:
    static constexpr double kMinimumMeters = 500;
    static constexpr std::chrono::minutes kMinimumInterval{5};

    bool admit(const LocationFix& fix);
    void reset() { lastDelivered_.reset(); }

private:
    struct Delivered {
        LocationCoordinate2D coordinate;
        Timestamp timestamp;
    };
    std::optional<Delivered> lastDelivered_;
};

}  // namespace fenk
