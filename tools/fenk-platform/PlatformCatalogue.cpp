#include "tools/fenk-platform/PlatformCatalogue.h"

#include <algorithm>
#include <iostream>
#include <optional>
#include <utility>

#include "FenkSDK/places/FenkGeohash.h"
#include "FenkSDK/places/GreatCircle.h"
#include "tools/fenk-platform/PackagedCities.h"

namespace fenk {
namespace {

constexpr double kDefaultPlaceRadiusMetres = 100;
constexpr std::string_view kAddressMark = "{platform}";

void expand(std::string& text, std::string_view address) {
    for (std::size_t at = text.find(kAddressMark); at != std::string::npos; at = text.find(kAddressMark, at)) {
        text.replace(at, kAddressMark.size(), address);
        at += address.size();
    }
}

}  // namespace

PlatformCatalogue::PlatformCatalogue(PlatformSeed seed, std::string gazetteerLibrary)
    : seed_(std::move(seed)), gazetteerLibrary_(std::move(gazetteerLibrary)) {}

void PlatformCatalogue::expandPlatformAddress(std::string_view address) {
    const auto expandAll = [address](std::vector<FG_Extra>& extras) {
        for (FG_Extra& extra : extras) {
            if (extra.value) expand(*extra.value, address);
        }
    };
    for (SeedApp& app : seed_.apps) {
        if (app.parameters) expandAll(*app.parameters);
        if (!app.places) continue;
        for (SeedPlace& place : *app.places) {
            if (place.extras) expandAll(*place.extras);
        }
    }
}

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
        const double distance = distanceMeters(coordinate, {place.latitude, place.longitude});
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
        const double distance = distanceMeters(coordinate, {area.latitude, area.longitude});
        if (distance <= area.radius && (!nearest || distance < nearestDistance)) {
            nearest = &area;
            nearestDistance = distance;
        }
    }
    if (nearest) {
        info.country = nearest->country;
        info.region = nearest->region;
        info.city = nearest->city;
        return info;
    }
    const Gazetteer* cities = gazetteer();
    if (const std::optional<Gazetteer::Nearest> city = cities ? cities->nearest(coordinate) : std::nullopt) {
        info.country = city->city->country;
        info.region = city->city->region;
        if (city->metres <= kCityReachMetres) info.city = city->city->name;
    } else if (seed_.defaultArea) {
        info.country = seed_.defaultArea->country;
        info.region = seed_.defaultArea->region;
        info.city = seed_.defaultArea->city;
    }
    return info;
}

const Gazetteer* PlatformCatalogue::gazetteer() const {
    std::call_once(gazetteerLoaded_, [this] {
        std::string error;
        if (std::optional<std::vector<GazetteerCity>> cities = loadPackagedCities(gazetteerLibrary_, error)) {
            gazetteer_.emplace(std::move(*cities));
        } else {
            std::cerr << "fenk-platform: no city names (" << error << "); tracking info names seeded areas only\n";
        }
    });
    return gazetteer_ ? &*gazetteer_ : nullptr;
}

}  // namespace fenk
