#include "adapters/location/RegionMonitor.h"

#include "FenkSDK/json/JsonWriter.h"
#include "FenkSDK/places/GreatCircle.h"
#include "adapters/location/ExitMargin.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace fenk {

bool isMonitorable(const CircularRegion& region) {
    json::JsonWriter identifier;
    identifier.string(region.identifier);
    return isValidCoordinate(region.center) && std::isfinite(region.radius) && region.radius >= 0 &&
           std::move(identifier).finish().has_value();
}

RegionMonitor::RegionMonitor(std::vector<CircularRegion> regions) {
    watched_.reserve(regions.size());
    for (auto& region : regions) watched_.push_back({std::move(region)});
}

std::vector<CircularRegion> RegionMonitor::regions() const {
    std::vector<CircularRegion> regions;
    regions.reserve(watched_.size());
    for (const auto& watched : watched_) regions.push_back(watched.region);
    return regions;
}

void RegionMonitor::start(const CircularRegion& region) {
    const auto found = std::ranges::find_if(
        watched_, [&](const Watched& watched) { return watched.region.identifier == region.identifier; });
    if (found == watched_.end()) {
        watched_.push_back({region});
    } else {
        *found = {region};
    }
}

bool RegionMonitor::stop(std::string_view identifier) {
    return std::erase_if(watched_, [&](const Watched& watched) { return watched.region.identifier == identifier; }) >
           0;
}

void RegionMonitor::observe(const LocationFix& fix, std::vector<RegionEvent>& events) {
    constexpr double kMetersPerDegreeOfLatitude = kEarthRadiusMeters * std::numbers::pi / 180;
    const double margin = exitMarginMeters(fix.horizontalAccuracy);
    for (auto& watched : watched_) {
        // The gap in latitude alone never exceeds the distance: a region it already puts clearly behind the
        // device needs no trigonometry, which keeps the cost of a fix low with many regions about.
        const double latitudeGap =
            std::abs(watched.region.center.latitude - fix.coordinate.latitude) * kMetersPerDegreeOfLatitude;
        const double distance = latitudeGap > watched.region.radius + margin
                                    ? latitudeGap
                                    : distanceMeters(watched.region.center, fix.coordinate);
        const bool inside = distance <= watched.region.radius;
        if (watched.side == Side::unknown) {
            watched.side = inside ? Side::inside : Side::outside;
        } else if (inside && watched.side == Side::outside) {
            watched.side = Side::inside;
            if (watched.region.notifyOnEntry) events.push_back({watched.region, true});
        } else if (distance > watched.region.radius + margin && watched.side == Side::inside) {
            watched.side = Side::outside;
            if (watched.region.notifyOnExit) events.push_back({watched.region, false});
        }
    }
}

}  // namespace fenk
