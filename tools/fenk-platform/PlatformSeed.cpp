#include "tools/fenk-platform/PlatformSeed.h"

#include <fstream>
#include <iterator>
#include <set>

#include "FenkSDK/location/LocationCoordinate2D.h"

namespace fenk {
namespace {

// The first fault of an app, or the empty text.
std::string faultOf(const SeedApp& app) {
    if (app.creationReply && *app.creationReply != "data" && *app.creationReply != "ticket") {
        return "creationReply must be \"data\" or \"ticket\"";
    }
    std::set<std::string> ids;
    for (const SeedPlace& place : orEmpty(app.places)) {
        if (!ids.insert(place.id).second) return "place \"" + place.id + "\" appears twice";
        if (!isValidCoordinate({place.latitude, place.longitude})) {
            return "place \"" + place.id + "\" lies off the globe";
        }
        if (place.radius && !(*place.radius > 0)) return "place \"" + place.id + "\" needs a radius above zero";
    }
    ids.clear();
    for (const SeedGroup& group : orEmpty(app.groups)) {
        if (!ids.insert(group.resourceId).second) return "group \"" + group.resourceId + "\" appears twice";
    }
    return {};
}

std::string faultOf(const PlatformSeed& seed) {
    std::set<std::string> keys;
    for (const SeedApp& app : seed.apps) {
        if (app.appKey.empty()) return "an app has an empty appKey";
        if (!keys.insert(app.appKey).second) return "app \"" + app.appKey + "\" appears twice";
        if (std::string fault = faultOf(app); !fault.empty()) return "app \"" + app.appKey + "\": " + fault;
    }
    for (const SeedTrackingArea& area : orEmpty(seed.trackingAreas)) {
        if (!isValidCoordinate({area.latitude, area.longitude}) || !(area.radius > 0)) {
            return "a tracking area needs a coordinate on the globe and a radius above zero";
        }
    }
    return {};
}

}  // namespace

std::optional<PlatformSeed> loadPlatformSeed(const std::filesystem::path& file, std::string& error) {
    std::ifstream stream(file, std::ios::binary);
    if (!stream) {
        error = "cannot read " + file.string();
        return std::nullopt;
    }
    const std::string text{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
    std::string decodeError;
    std::optional<PlatformSeed> seed = json::decode<PlatformSeed>(text, &decodeError);
    if (!seed) {
        error = file.string() + ": " + decodeError;
        return std::nullopt;
    }
    if (std::string fault = faultOf(*seed); !fault.empty()) {
        error = file.string() + ": " + fault;
        return std::nullopt;
    }
    return seed;
}

}  // namespace fenk
