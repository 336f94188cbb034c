#include "tools/fenk-demo/DemoSeed.h"

#include "FenkSDK/places/GreatCircle.h"
#include "tools/fenk-demo/Movement.h"

#include <array>
#include <chrono>

namespace fenk {
namespace {

struct Shop {
    std::string_view name;
    std::string_view tag;
    std::string_view message;
};

constexpr std::array kShops{
    Shop{"Corner bakery", "food", "Fresh bread until noon at the corner bakery"},
    Shop{"Book cafe", "culture", "Two-for-one coffee with any book today"},
    Shop{"Bike workshop", "sport", "Free tyre check this week"},
    Shop{"Farmers' market", "food", "The market is open: seasonal fruit at the entrance"},
    Shop{"Climbing gym", "sport", "First session free for neighbours"},
    Shop{"Flower stall", "shopping", "Tulips have arrived"},
};

// Places lie this far apart at least, and this far from where the trace begins (home, usually), so that each
// notice belongs to a stretch of the way.
constexpr double kSpacingMeters = 700;
constexpr double kPlaceRadiusMeters = 150;
// The places are picked along the first week's ways: every later week goes the same ways.
constexpr auto kPickingSpan = std::chrono::days(7);

// The fixes taken on the move in the first week, with the distance travelled on the move up to each.
struct Travelled {
    std::vector<const LocationFix*> fixes;
    std::vector<double> distance;
};

Travelled travelledFixes(const std::vector<LocationFix>& fixes) {
    Travelled travelled;
    double total = 0;
    for (std::size_t index = 1; index < fixes.size(); ++index) {
        const LocationFix& previous = fixes[index - 1];
        const LocationFix& fix = fixes[index];
        if (fix.timestamp - fixes.front().timestamp > kPickingSpan) break;
        if (!onTheMove(previous, fix)) continue;
        total += distanceMeters(previous.coordinate, fix.coordinate);
        travelled.fixes.push_back(&fix);
        travelled.distance.push_back(total);
    }
    return travelled;
}

bool farFromAll(LocationCoordinate2D point, const std::vector<LocationCoordinate2D>& taken) {
    for (const auto& other : taken) {
        if (distanceMeters(point, other) < kSpacingMeters) return false;
    }
    return true;
}

std::vector<NoticePlace> placesAlong(const std::vector<LocationFix>& fixes) {
    std::vector<NoticePlace> places;
    const Travelled travelled = travelledFixes(fixes);
    if (travelled.fixes.empty()) return places;
    std::vector<LocationCoordinate2D> taken{fixes.front().coordinate};
    // Even steps along the distance travelled, each moved on to the first fix far enough from the others.
    const double total = travelled.distance.back();
    std::size_t index = 0;
    for (std::size_t step = 0; step < 2 * kShops.size() && places.size() < kShops.size(); ++step) {
        const double target = total * (static_cast<double>(step) + 0.5) / (2.0 * kShops.size());
        while (index < travelled.fixes.size() &&
               (travelled.distance[index] < target || !farFromAll(travelled.fixes[index]->coordinate, taken))) {
            ++index;
        }
        if (index == travelled.fixes.size()) break;
        const LocationCoordinate2D at = travelled.fixes[index]->coordinate;
        const Shop& shop = kShops[places.size()];
        places.push_back({.id = "place-" + std::to_string(places.size() + 1),
                          .name = std::string(shop.name),
                          .latitude = at.latitude,
                          .longitude = at.longitude,
                          .radius = kPlaceRadiusMeters,
                          .message = std::string(shop.message)});
        taken.push_back(at);
    }
    return places;
}

SeedPlace seedPlace(const NoticePlace& place, std::string_view tag) {
    return {.id = place.id,
            .name = place.name,
            .tag = std::string(tag),
            .latitude = place.latitude,
            .longitude = place.longitude,
            .radius = place.radius,
            .extras = std::vector<FG_Extra>{{"d2s-message", place.message},
                                            {"d2s-link-url", "{platform}/pages/" + place.id}}};
}

}  // namespace

DemoSeed makeDemoSeed(const std::vector<LocationFix>& fixes) {
    DemoSeed demo{.seed = {}, .places = placesAlong(fixes)};
    std::vector<SeedPlace> seeded;
    for (std::size_t index = 0; index < demo.places.size(); ++index) {
        seeded.push_back(seedPlace(demo.places[index], kShops[index].tag));
    }
    demo.seed.apps.push_back(SeedApp{
        .appKey = std::string(kDemoAppKey),
        .name = "The neighbourhood app",
        .creationReply = "data",
        // The terms are asked for before tracking, on the legal screen with the summary inside.
        .parameters = std::vector<FG_Extra>{{"requiresPermissionsAcceptance", "true"},
                                            {"userPermissionsWorkflow", "web"},
                                            {"userLegal", "{platform}/legal/terms.html"},
                                            {"userLegalSumUp", "{platform}/legal/summary.html"},
                                            {"userLegalUpdate", "{platform}/legal/update.html"}},
        .userHabits = std::nullopt,
        .siteUrl = std::nullopt,
        .siteId = std::nullopt,
        .siteAuthCode = std::nullopt,
        .places = std::move(seeded),
        .groups = std::nullopt,
    });
    return demo;
}

}  // namespace fenk
