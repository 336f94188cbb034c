#pragma once

#include "FenkSDK/location/StoredLocation.h"

#include <optional>
#include <string>
#include <vector>

namespace fenk {

class Preferences;

// The recent position history ("FENK_STORED_POSITIONS"): at most one entry per cell, oldest arrival first.
// Written by the position queue only; readable from anywhere.
class PositionHistory {
public:
    explicit PositionHistory(Preferences& preferences) : preferences_(preferences) {}

    std::vector<StoredLocation> load() const;
    // The entry with the latest arrival.
    std::optional<StoredLocation> last() const;
    // Removes the newest entry of the cell (none counts as a cell of its own); answers the list left.
    std::vector<StoredLocation> remove(const std::optional<std::string>& geohash);
    // Replaces the cell's entry by `record`, then lets the oldest entry go once more than three are kept and
    // it is closed: in steady movement that keeps the two latest closed cells and the open one.
    void add(const StoredLocation& record);
    // The same on a list just loaded, which it updates.
    void add(std::vector<StoredLocation>& list, const StoredLocation& record);

private:
    void save(const std::vector<StoredLocation>& list);

    Preferences& preferences_;
};

}  // namespace fenk
