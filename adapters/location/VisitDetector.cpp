#include "adapters/location/VisitDetector.h"

#include "FenkSDK/places/GreatCircle.h"
#include "adapters/location/ExitMargin.h"

#include <cmath>

namespace fenk {
namespace {

// Into [-180, 180).
double wrappedLongitude(double degrees) { return degrees - 360.0 * std::floor((degrees + 180.0) / 360.0); }

}  // namespace

VisitDetector::Cluster::Cluster(const LocationFix& first)
    : arrival(first.timestamp), lastInside(first.timestamp), referenceLongitude(first.coordinate.longitude) {
    add(first);
}

void VisitDetector::Cluster::add(const LocationFix& fix) {
    latitudeSum += fix.coordinate.latitude;
    longitudeOffsetSum += wrappedLongitude(fix.coordinate.longitude - referenceLongitude);
    ++count;
    const double fixes = static_cast<double>(count);
    centre = {latitudeSum / fixes, wrappedLongitude(referenceLongitude + longitudeOffsetSum / fixes)};
    lastInside = fix.timestamp;
}

std::optional<Visit> VisitDetector::observe(const LocationFix& fix) {
    if (!cluster_) {
        cluster_.emplace(fix);
        return std::nullopt;
    }
    Cluster& cluster = *cluster_;
    const double distance = distanceMeters(cluster.centre, fix.coordinate);
    if (distance <= kRadiusMeters) {
        cluster.add(fix);
        if (cluster.arrived || fix.timestamp - cluster.arrival < kDwell) return std::nullopt;
        cluster.arrived = true;
        return cluster.visit(distantFuture());
    }
    // The margin keeps a stay from ending on one stray fix; a cluster not yet dwelt in has nothing to keep, and
    // holding on to it would leave the fixes of the place the device just reached out of every cluster.
    if (cluster.arrived && distance <= kRadiusMeters + exitMarginMeters(fix.horizontalAccuracy)) return std::nullopt;
    const std::optional<Visit> departure =
        cluster.arrived ? std::optional(cluster.visit(cluster.lastInside)) : std::nullopt;
    cluster_.emplace(fix);
    return departure;
}

}  // namespace fenk
