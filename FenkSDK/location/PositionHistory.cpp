#include "FenkSDK/location/PositionHistory.h"

#include "FenkSDK/UserDefault.h"
#include "FenkSDK/location/PositionDecision.h"

#include <algorithm>

namespace fenk {

std::vector<StoredLocation> PositionHistory::load() const {
    auto list = UserDefault(preferences_).getDataArray<StoredLocation>(settingsKeys::kFenkStoredPositions);
    std::stable_sort(list.begin(), list.end(),
                     [](const StoredLocation& a, const StoredLocation& b) { return arrivalOf(a) < arrivalOf(b); });
    return list;
}

std::optional<StoredLocation> PositionHistory::last() const {
    auto list = load();
    if (list.empty()) return std::nullopt;
    return std::move(list.back());
}

void PositionHistory::save(const std::vector<StoredLocation>& list) {
    if (list.empty()) {
        preferences_.remove(settingsKeys::kFenkStoredPositions);
        return;
    }
    // A committed write already survives the process; asking the store to flush it to the disk as well would
    // cost a disk flush for every fix.
    UserDefault(preferences_).setDataArray(list, settingsKeys::kFenkStoredPositions);
}

void PositionHistory::remove(std::vector<StoredLocation>& list, const std::optional<std::string>& geohash) {
    const auto newest = std::find_if(list.rbegin(), list.rend(),
                                     [&](const StoredLocation& entry) { return entry.geohash == geohash; });
    if (newest != list.rend()) list.erase(std::next(newest).base());
}

void PositionHistory::add(std::vector<StoredLocation>& list, const StoredLocation& record) {
    remove(list, record.geohash);
    const auto later = std::upper_bound(list.begin(), list.end(), arrivalOf(record),
                                        [](Timestamp arrival, const StoredLocation& entry) { return arrival < arrivalOf(entry); });
    list.insert(later, record);
    if (list.size() > 3 && list.front().departureDate && !isOpen(list.front())) list.erase(list.begin());
}

}  // namespace fenk
