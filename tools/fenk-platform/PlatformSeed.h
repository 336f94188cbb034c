#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "FenkSDK/api/FG_Extra.h"
#include "FenkSDK/api/FG_Location.h"
#include "FenkSDK/api/FG_UserHabit.h"
#include "FenkSDK/json/RecordCodec.h"

// The seed file: what the owner configured on the platform before any device called. Coordinates and
// radii are JSON numbers here (degrees and metres); the wire sends them as text.
namespace fenk {

struct SeedPlace {
    std::string id{};
    std::optional<std::string> name{};
    std::optional<std::string> tag{};
    double latitude{};
    double longitude{};
    std::optional<double> radius{};  // metres around the place that count as "nearby"
    std::optional<std::vector<FG_Extra>> extras{};

    static constexpr auto jsonFields = std::tuple{json::field("id", &SeedPlace::id),
                                                  json::field("name", &SeedPlace::name),
                                                  json::field("tag", &SeedPlace::tag),
                                                  json::field("latitude", &SeedPlace::latitude),
                                                  json::field("longitude", &SeedPlace::longitude),
                                                  json::field("radius", &SeedPlace::radius),
                                                  json::field("extras", &SeedPlace::extras)};
};

struct SeedGroup {
    std::string resourceId{};
    std::optional<std::string> name{};
    std::optional<std::string> description{};

    static constexpr auto jsonFields = std::tuple{json::field("resourceId", &SeedGroup::resourceId),
                                                  json::field("name", &SeedGroup::name),
                                                  json::field("description", &SeedGroup::description)};
};

struct SeedApp {
    std::string appKey{};
    std::optional<std::string> name{};
    // How an anonymous creation answers: "data" (the new user's id and refresh token) or "ticket" (a
    // ticket the device then authenticates with). Default "data".
    std::optional<std::string> creationReply{};
    std::optional<std::vector<FG_Extra>> parameters{};
    std::optional<std::vector<FG_UserHabit>> userHabits{};  // every user's profile
    std::optional<std::string> siteUrl{};
    std::optional<std::string> siteId{};
    std::optional<std::string> siteAuthCode{};
    std::optional<std::vector<SeedPlace>> places{};
    std::optional<std::vector<SeedGroup>> groups{};

    static constexpr auto jsonFields = std::tuple{json::field("appKey", &SeedApp::appKey),
                                                  json::field("name", &SeedApp::name),
                                                  json::field("creationReply", &SeedApp::creationReply),
                                                  json::field("parameters", &SeedApp::parameters),
                                                  json::field("userHabits", &SeedApp::userHabits),
                                                  json::field("siteUrl", &SeedApp::siteUrl),
                                                  json::field("siteId", &SeedApp::siteId),
                                                  json::field("siteAuthCode", &SeedApp::siteAuthCode),
                                                  json::field("places", &SeedApp::places),
                                                  json::field("groups", &SeedApp::groups)};
};

// An area the tracking-info service names; a coordinate within `radius` metres of the centre lies in it.
struct SeedTrackingArea {
    double latitude{};
    double longitude{};
    double radius{};
    std::optional<std::string> country{};
    std::optional<std::string> region{};
    std::optional<std::string> city{};

    static constexpr auto jsonFields = std::tuple{json::field("latitude", &SeedTrackingArea::latitude),
                                                  json::field("longitude", &SeedTrackingArea::longitude),
                                                  json::field("radius", &SeedTrackingArea::radius),
                                                  json::field("country", &SeedTrackingArea::country),
                                                  json::field("region", &SeedTrackingArea::region),
                                                  json::field("city", &SeedTrackingArea::city)};
};

struct PlatformSeed {
    std::vector<SeedApp> apps{};
    std::optional<std::vector<SeedTrackingArea>> trackingAreas{};
    std::optional<FG_Location> defaultArea{};  // names for a coordinate in no seeded area

    static constexpr auto jsonFields = std::tuple{json::field("apps", &PlatformSeed::apps),
                                                  json::field("trackingAreas", &PlatformSeed::trackingAreas),
                                                  json::field("defaultArea", &PlatformSeed::defaultArea)};
};

// The seeded list, or an empty one when the seed leaves it out.
template <class Element>
const std::vector<Element>& orEmpty(const std::optional<std::vector<Element>>& list) {
    static const std::vector<Element> empty;
    return list ? *list : empty;
}

// Reads and checks a seed file (unique app keys, a known creation reply, radii above zero); nullopt with a
// one-line reason in `error` otherwise.
std::optional<PlatformSeed> loadPlatformSeed(const std::filesystem::path& file, std::string& error);

}  // namespace fenk
