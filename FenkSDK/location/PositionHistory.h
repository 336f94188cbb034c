#pragma once

#include "FenkSDK/location/StoredLocation.h"

#include <optional>
#include <string>
#include <vector>

namespace fenk {

class Preferences;

// The recent position history ("FENK_STORED_POSITIONS"): at most one entry per cell, oldest arrival first.
// Written by the position queue only; readable from anywhere. A change is made to a loaded list and written
// whole with save(), so that one analysis is one commit.
class PositionHistory {
public:
    explicit PositionHistory(Preferences& preferences) : preferences_(preferences) {}

    std::vector<StoredLocation> load() const;
    // The entry with the latest arrival.
    std::optional<StoredLocation> last() const;
    // An empty list removes the key.
    void save(const std::vector<StoredLocation>& list);

    // Removes the newest entry of the cell (none counts as a cell of its own).
    static void remove(std::vector<StoredLocation>& list, const std::optional<std::string>& geohash);
    // Replaces the cell's entry by `record`, then lets the oldest entry go once more than three are kept and
    // it is closed: in steady movement that keeps the two latest closed cells and the open one.
    static void add(std::vector<StoredLocation>& list, const StoredLocation& record);

private:
    Preferences& preferences_;
};

}  // namespace fenk
