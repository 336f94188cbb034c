#pragma once

#include "FenkSDK/location/PositionDecision.h"
#include "FenkSDK/location/PositionHistory.h"
#include "FenkSDK/location/StoredLocation.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace fenk {

class DispatchQueue;
class PositionUploader;
class Preferences;

// Turns every record the location layer announces into history, uploads and nearby-place requests. Records
// are analysed one at a time on the position queue, in the order they were announced.
class PositionPipeline : public std::enable_shared_from_this<PositionPipeline> {
public:
    struct Collaborators {
        std::shared_ptr<DispatchQueue> positionsQueue;
        std::shared_ptr<Preferences> preferences;
        std::shared_ptr<PositionUploader> uploader;
        // Fences the new cell; empty without a location layer.
        std::function<void(std::string cell, double latitude, double longitude)> monitorRegion;
        std::function<void(double latitude, double longitude)> requestNearbyPlaces;
    };

    explicit PositionPipeline(Collaborators collaborators);

    // Any thread.
    void analysePosition(StoredLocation record);
    // Any thread: the device left the place region; its open entry is closed at `date` and analysed again.
    void regionExit(std::string identifier, Timestamp date);

    // Fixes dropped for their accuracy.
    std::uint64_t droppedForAccuracy() const { return droppedForAccuracy_; }
    // The latest entry of the history; any thread.
    std::optional<StoredLocation> lastStoredPosition() const { return history_.last(); }

private:
    using History = std::vector<StoredLocation>;

    void analyse(StoredLocation incoming);
    // Each step changes the loaded history and collects the records to upload, in order.
    void step(History& history, History& outgoing, PositionOutcome outcome, StoredLocation incoming,
              const std::optional<StoredLocation>& latest);
    void close(History& history, History& outgoing, StoredLocation latest, const StoredLocation& incoming);
    void open(History& history, History& outgoing, StoredLocation incoming,
              const std::optional<StoredLocation>& latest);
    void revisit(History& history, History& outgoing, const StoredLocation& incoming,
                 const std::optional<StoredLocation>& latest, bool keep);

    Collaborators ports_;
    PositionHistory history_;
    std::atomic<std::uint64_t> droppedForAccuracy_{0};
};

}  // namespace fenk
