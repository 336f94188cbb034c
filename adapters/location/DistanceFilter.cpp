#include "adapters/location/DistanceFilter.h"

#include "FenkSDK/places/GreatCircle.h"

namespace fenk {

bool DistanceFilter::admit(const LocationFix& fix, double minimumMeters) {
    // Written so that a NaN distance setting lets every fix through rather than none.
    const bool passes = !lastDelivered_ || !(minimumMeters > 0) ||
                        distanceMeters(*lastDelivered_, fix.coordinate) >= minimumMeters;
    if (passes) lastDelivered_ = fix.coordinate;
    return passes;
}

}  // namespace fenk
