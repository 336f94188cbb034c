#include "adapters/location/SignificantChangeFilter.h"

#include "FenkSDK/places/GreatCircle.h"

namespace fenk {

bool SignificantChangeFilter::admit(const LocationFix& fix) {
    const bool passes = !lastDelivered_ || (fix.timestamp - lastDelivered_->timestamp >= kMinimumInterval &&
                                            distanceMeters(lastDelivered_->coordinate, fix.coordinate) >= kMinimumMeters);
    if (passes) lastDelivered_ = Delivered{fix.coordinate, fix.timestamp};
    return passes;
}

}  // namespace fenk
