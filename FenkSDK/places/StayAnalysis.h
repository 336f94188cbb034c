#pragma once

#include "FenkSDK/location/StoredLocation.h"
#include "FenkSDK/places/CandidateStayStore.h"
#include "FenkSDK/places/FenkCandidateStay.h"
#include "FenkSDK/places/FenkRelevantPlace.h"
#include "FenkSDK/places/RelevantPlaceStore.h"

#include <functional>
#include <mutex>
#include <optional>
#include <string>

namespace fenk {

class Clock;
class Device;
class Preferences;
class SecureStore;

// Learns the user's relevant places ("home", "work") from the position records the SDK uploads: a record
// longer than three hours is filed as a stay under its cell, and a cell with more than ten stays becomes a
// relevant place typed by how many of its recent stays lasted a whole day. Safe to call from any thread:
// each operation reads, changes and rewrites whole maps, so operations run one at a time.
class StayAnalysis {
public:
    // Watches a relevant place as a monitored region centred on the given coordinate.
    using MonitorRegion = std::function<void(std::string identifier, double latitude, double longitude)>;

    // Without monitorRegion (no location layer), visits to relevant places are still counted.
    StayAnalysis(Preferences& preferences, SecureStore& secureStore, const Clock& clock, const Device& device,
                 MonitorRegion monitorRegion = {});

    // The type of the relevant place the record lies in, after counting the visit; otherwise files the
    // record's stay when it is a closed one of more than three hours and not filed before, and answers none.
    std::optional<std::string> analyseStay(const StoredLocation& record);
    // Counts a visit to the place of the cell, if there is one, ending at the instant.
    void recordPlaceVisit(const std::string& cell, Timestamp instant);
    // Recomputes every candidate's statistics over its recent stays and promotes those with 11 or more stays.
    void updateCandidateStays();
    // Stores the candidate as a relevant place of the type, replacing any place of its cell.
    void promoteCandidate(const FenkCandidateStay& candidate, const std::string& type);

    // The places learned so far, for host tools.
    RelevantPlaceMap relevantPlaces() const;

private:
    // The work of each operation; the caller holds mutex_.
    void recordVisitLocked(const std::string& cell, Timestamp instant);
    void updateCandidatesLocked();
    // False when the candidate of the stay's cell already holds the same stay.
    bool fileStayLocked(const FenkStay& stay);

    FenkStay measureStay(const std::string& cell, Timestamp arrival, Timestamp departure) const;

    CandidateStayStore candidates_;
    RelevantPlaceStore places_;
    const Clock& clock_;
    const Device& device_;
    MonitorRegion monitorRegion_;
    // Held for each whole operation: every one reads a map, changes it and writes it back whole, so two
    // interleaved would lose the first one's change.
    mutable std::mutex mutex_;
};

}  // namespace fenk
