#pragma once

#include <string_view>
#include <vector>

#include "FenkSDK/api/FG_DTSPlace.h"
#include "FenkSDK/api/FG_TrackingInfo.h"
#include "FenkSDK/location/LocationCoordinate2D.h"
#include "tools/fenk-platform/PlatformSeed.h"

namespace fenk {

// The seeded, read-only side of the platform: apps, their places and groups, and the tracking areas.
class PlatformCatalogue {
public:
    explicit PlatformCatalogue(PlatformSeed seed);

    const SeedApp* app(std::string_view appKey) const;
    const SeedGroup* group(const SeedApp& app, std::string_view resourceId) const;

    // The app's places whose radius covers the coordinate, nearest first.
    std::vector<FG_DTSPlace> placesNear(const SeedApp& app, LocationCoordinate2D coordinate) const;

    // The app's site with the names of the nearest area that covers the coordinate, else the default names.
    FG_TrackingInfo trackingInfo(const SeedApp& app, LocationCoordinate2D coordinate) const;

private:
    PlatformSeed seed_;
};

}  // namespace fenk
