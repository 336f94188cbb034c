#include "FenkSDK/places/GreatCircle.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace fenk {
namespace {

constexpr double radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

}  // namespace

double distanceMeters(LocationCoordinate2D from, LocationCoordinate2D to) {
    // Haversine: stable for the short distances that matter most here.
    const double dLatitude = radians(to.latitude - from.latitude);
    const double dLongitude = radians(to.longitude - from.longitude);
    const double a = std::sin(dLatitude / 2) * std::sin(dLatitude / 2) +
                     std::cos(radians(from.latitude)) * std::cos(radians(to.latitude)) * std::sin(dLongitude / 2) *
                         std::sin(dLongitude / 2);
    return 2 * kEarthRadiusMeters * std::asin(std::sqrt(std::min(1.0, a)));
}

double initialBearingDegrees(LocationCoordinate2D from, LocationCoordinate2D to) {
    const double phi1 = radians(from.latitude);
    const double phi2 = radians(to.latitude);
    const double dLongitude = radians(to.longitude - from.longitude);
    const double y = std::sin(dLongitude) * std::cos(phi2);
    const double x = std::cos(phi1) * std::sin(phi2) - std::sin(phi1) * std::cos(phi2) * std::cos(dLongitude);
    const double degrees = std::atan2(y, x) * 180.0 / std::numbers::pi;
    return degrees < 0 ? degrees + 360.0 : degrees;
}

}  // namespace fenk
