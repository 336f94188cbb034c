#include "tools/fenk-platform/PlatformCatalogue.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <utility>

#include "FenkSDK/places/FenkGeohash.h"

namespace fenk {
namespace {

constexpr double kDefaultPlaceRadiusMetres = 100;
constexpr double kEarthRadiusMetres = 6'371'008.8;

// Great-circle distance (haversine).
double metresBetween(LocationCoordinate2D from, LocationCoordinate2D to) {
    constexpr double radiansPerDegree = std::numbers::pi / 180;
    const double latitudeDelta = (to.latitude - from.latitude) * radiansPerDegree;
    const double longitudeDelta = (to.longitude - from.longitude) * radiansPerDegree;
    const double a = std::pow(std::sin(latitudeDelta / 2), 2) + std::cos(from.latitude * radiansPerDegree) *
                                                                    std::cos(to.latitude * radiansPerDegree) *
                                                                    std::pow(std::sin(longitudeDelta / 2), 2);
    return 2 * kEarthRadiusMetres * std::asin(std::min(1.0, std::sqrt(a)));
}

}  // namespace

PlatformCatalogue::PlatformCatalogue(PlatformSeed seed) : seed_(std::move(seed)) {}

const SeedApp* PlatformCatalogue::app(std::string_view appKey) const {
    const auto found = std::ranges::find(seed_.apps, appKey, &SeedApp::appKey);
    return found == seed_.apps.end() ? nullptr : &*found;
}

const SeedGroup* PlatformCatalogue::group(const SeedApp& app, std::string_view resourceId) const {
    const auto& groups = orEmpty(app.groups);
    const auto found = std::ranges::find(groups, resourceId, &SeedGroup::resourceId);
    return found == groups.end() ? nullptr : &*found;
}

std::vector<FG_DTSPlace> PlatformCatalogue::placesNear(const SeedApp& app, LocationCoordinate2D coordinate) const {
    std::vector<std::pair<double, const SeedPlace*>> near;
    for (const SeedPlace& place : orEmpty(app.places)) {
        const double distance = metresBetween(coordinate, {place.latitude, place.longitude});
        if (distance <= place.radius.value_or(kDefaultPlaceRadiusMetres)) near.emplace_back(distance, &place);
    }
    std::ranges::stable_sort(near, {}, &std::pair<double, const SeedPlace*>::first);
    std::vector<FG_DTSPlace> places;
    places.reserve(near.size());
    for (const auto& [distance, place] : near) {
        places.push_back({.id = place->id,
                          .name = place->name,
                          .tag = place->tag,
                          .geohash = FenkGeohash::encode(place->latitude, place->longitude,
                                                         FenkGeohash::Precision::seventySixMeters),
                          .extras = place->extras});
    }
    return places;
}

FG_TrackingInfo PlatformCatalogue::trackingInfo(const SeedApp& app, LocationCoordinate2D coordinate) const {
    FG_TrackingInfo info{.siteUrl = app.siteUrl, .siteId = app.siteId, .siteAuthCode = app.siteAuthCode};
    const SeedTrackingArea* nearest = nullptr;
    double nearestDistance = 0;
    for (const SeedTrackingArea& area : orEmpty(seed_.trackingAreas)) {
        const double distance = metresBetween(coordinate, {area.latitude, area.longitude});
        if (distance <= area.radius && (!nearest || distance < nearestDistance)) {
            nearest = &area;
            nearestDistance = distance;
        }
    }
    if (nearest) {
        info.country = nearest->country;
        info.region = nearest->region;
        info.city = nearest->city;
    } else if (seed_.defaultArea) {
        info.country = seed_.defaultArea->country;
        info.region = seed_.defaultArea->region;
        info.city = seed_.defaultArea->city;
    }
    return info;
}

}  // namespace fenk
