#pragma once

#include "FenkSDK/location/LocationCoordinate2D.h"

namespace fenk {

// Mean earth radius in metres.
inline constexpr double kEarthRadiusMeters = 6'371'008.8;

// Distance along the earth's surface, on a sphere; accurate to about 0.5 %, well within any fix's error.
double distanceMeters(LocationCoordinate2D from, LocationCoordinate2D to);

// Direction of travel leaving `from` towards `to`, in degrees clockwise from true north, in [0, 360).
double initialBearingDegrees(LocationCoordinate2D from, LocationCoordinate2D to);

}  // namespace fenk
