#include "FenkSDK/location/PositionHistory.h"

#include "FenkSDK/UserDefault.h"
#include "FenkSDK/location/PositionDecision.h"

#include <algorithm>

namespace fenk {
namespace {

void sortByArrival(std::vector<StoredLocation>& list) {
    std::stable_sort(list.begin(), list.end(),
                     [](const StoredLocation& a, const StoredLocation& b) { return arrivalOf(a) < arrivalOf(b); });
}

void removeNewestOfCell(std::vector<StoredLocation>& list, const std::optional<std::string>& geohash) {
    const auto newest = std::find_if(list.rbegin(), list.rend(),
                                     [&](const StoredLocation& entry) { return entry.geohash == geohash; });
    if (newest != list.rend()) list.erase(std::next(newest).base());
}

}  // namespace

std::vector<StoredLocation> PositionHistory::load() const {
    auto list = UserDefault(preferences_).getDataArray<StoredLocation>(settingsKeys::kFenkStoredPositions);
    sortByArrival(list);
    return list;
}

std::optional<StoredLocation> PositionHistory::last() const {
    auto list = load();
    if (list.empty()) return std::nullopt;
    return std::move(list.back());
}

std::vector<StoredLocation> PositionHistory::remove(const std::optional<std::string>& geohash) {
    auto list = load();
    removeNewestOfCell(list, geohash);
    save(list);
    return list;
}

void PositionHistory::add(const StoredLocation& record) {
    auto list = load();
    add(list, record);
}

void PositionHistory::add(std::vector<StoredLocation>& list, const StoredLocation& record) {
    // One write: the cell's old entry goes in the same commit as the new one comes.
    removeNewestOfCell(list, record.geohash);
    list.push_back(record);
    sortByArrival(list);
    if (list.size() > 3 && list.front().departureDate && !isOpen(list.front())) list.erase(list.begin());
    save(list);
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

}  // namespace fenk
