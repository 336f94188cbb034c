#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FenkSDK/api/FG_DTSPlace.h"
#include "FenkSDK/api/FG_TrackingInfo.h"
#include "FenkSDK/location/LocationCoordinate2D.h"
#include "tools/fenk-platform/Gazetteer.h"
#include "tools/fenk-platform/PlatformSeed.h"

namespace fenk {

// The seeded, read-only side of the platform: apps, their places and groups, the tracking areas, and the
// cities of a gazetteer library. Thread-safe once the platform address is expanded.
class PlatformCatalogue {
public:
    // `gazetteerLibrary` is loaded on the first tracking-info question (see loadPackagedCities).
    PlatformCatalogue(PlatformSeed seed, std::string gazetteerLibrary);

    // Replaces "{platform}" in the app parameters and the places' extras with the platform's address, known
    // once it listens, so that a seeded link reaches the platform's own pages and media.
    void expandPlatformAddress(std::string_view address);

    const SeedApp* app(std::string_view appKey) const;
    const SeedGroup* group(const SeedApp& app, std::string_view resourceId) const;

    // The app's places whose radius covers the coordinate, nearest first.
    std::vector<FG_DTSPlace> placesNear(const SeedApp& app, LocationCoordinate2D coordinate) const;

    // The app's site with the names of the nearest seeded area that covers the coordinate; else those of
    // the nearest city (its region and country only when it lies farther than kCityReachMetres); else,
    // without a gazetteer, the default names.
    FG_TrackingInfo trackingInfo(const SeedApp& app, LocationCoordinate2D coordinate) const;

    static constexpr double kCityReachMetres = 30'000;

private:
    const Gazetteer* gazetteer() const;

    PlatformSeed seed_;
    std::string gazetteerLibrary_;
    mutable std::once_flag gazetteerLoaded_;
    mutable std::optional<Gazetteer> gazetteer_;
};

}  // namespace fenk
