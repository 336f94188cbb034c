#pragma once

#include "FenkSDK/location/LocationCoordinate2D.h"
#include "FenkSDK/location/Timestamp.h"

namespace fenk {

// One position as the location service reports it, in degrees, metres, metres per second.
struct LocationFix {
    LocationCoordinate2D coordinate{};
    double altitude{};
    double horizontalAccuracy{};
    double verticalAccuracy{};
    double speed{};
    double course{};
    Timestamp timestamp{};

    friend bool operator==(const LocationFix&, const LocationFix&) = default;
};

}  // namespace fenk
