#include "adapters/location/PersistedRegions.h"

#include "FenkSDK/json/RecordCodec.h"
#include "FenkSDK/runtime/Console.h"
#include "adapters/location/RegionMonitor.h"

#include <string>
#include <tuple>
#include <utility>

namespace fenk {
namespace {

constexpr std::string_view kAccount = "monitoredRegions";

struct StoredRegion {
    std::string identifier{};
    double latitude{};
    double longitude{};
    double radius{};
    bool notifyOnEntry{};
    bool notifyOnExit{};

    static constexpr auto jsonFields = std::tuple{json::field("identifier", &StoredRegion::identifier),
                                                  json::field("latitude", &StoredRegion::latitude),
                                                  json::field("longitude", &StoredRegion::longitude),
                                                  json::field("radius", &StoredRegion::radius),
                                                  json::field("notifyOnEntry", &StoredRegion::notifyOnEntry),
                                                  json::field("notifyOnExit", &StoredRegion::notifyOnExit)};
};

}  // namespace

PersistedRegions::PersistedRegions(std::shared_ptr<SecureStore> store) : store_(std::move(store)) {}

std::vector<CircularRegion> PersistedRegions::load() const {
    const auto data = store_->load(kAccount);
    if (!data) {
        if (store_->contains(kAccount)) Console::print("Monitored regions unreadable; starting with none");
        return {};
    }
    std::string error;
    const auto stored = json::decode<std::vector<StoredRegion>>(asText(*data), &error);
    if (!stored) {
        Console::print("Monitored regions undecodable (" + error + "); starting with none");
        return {};
    }
    std::vector<CircularRegion> regions;
    for (const auto& entry : *stored) {
        CircularRegion region{entry.identifier, {entry.latitude, entry.longitude}, entry.radius, entry.notifyOnEntry,
                              entry.notifyOnExit};
        if (isMonitorable(region)) {
            regions.push_back(std::move(region));
        } else {
            Console::print("A stored region cannot be monitored; dropped");
        }
    }
    return regions;
}

void PersistedRegions::save(const std::vector<CircularRegion>& regions) {
    std::vector<StoredRegion> stored;
    stored.reserve(regions.size());
    for (const auto& region : regions) {
        stored.push_back({region.identifier, region.center.latitude, region.center.longitude, region.radius,
                          region.notifyOnEntry, region.notifyOnExit});
    }
    const auto document = json::encode(stored);
    if (!document || !store_->save(kAccount, toData(*document))) {
        Console::print("Could not save the monitored regions");
    }
}

}  // namespace fenk
