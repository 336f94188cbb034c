#include "FenkSDK/location/PositionPipeline.h"

#include "FenkSDK/UserDefault.h"
#include "FenkSDK/location/AccuracyFilter.h"
#include "FenkSDK/location/PositionDecision.h"
#include "FenkSDK/location/PositionUploader.h"
#include "FenkSDK/ports/Dispatcher.h"
#include "FenkSDK/runtime/WhileAlive.h"

#include <algorithm>

namespace fenk {

PositionPipeline::PositionPipeline(Collaborators collaborators)
    : ports_(std::move(collaborators)), history_(*ports_.preferences) {}

void PositionPipeline::analysePosition(StoredLocation record) {
    ports_.positionsQueue->async(whileAlive(weak_from_this(), [record = std::move(record)](PositionPipeline& self) {
        self.analyse(record);
    }));
}

void PositionPipeline::regionExit(std::string identifier, Timestamp date) {
    // Read on the position queue, so that the entry is the one the analyses before it left.
    ports_.positionsQueue->async(
        whileAlive(weak_from_this(), [identifier = std::move(identifier), date](PositionPipeline& self) {
            const auto history = self.history_.load();
            const auto entry = std::find_if(history.begin(), history.end(),
                                            [&](const StoredLocation& record) { return record.nombre == identifier; });
            if (entry == history.end() || !isOpen(*entry)) return;
            StoredLocation closed = *entry;
            closed.departureDate = date;
            self.analyse(std::move(closed));
        }));
}

void PositionPipeline::analyse(StoredLocation incoming) {
    const auto appParameters = UserDefault(*ports_.preferences).getDataArray<FG_Extra>(settingsKeys::kFenkAppParameters);
    if (failsAccuracyLimit(incoming, accuracyLimit(appParameters))) {
        ++droppedForAccuracy_;
        return;
    }
    // Read once, changed by each step, written once: a record that closes one entry and opens another is one
    // commit.
    auto history = history_.load();
    const auto latest = history.empty() ? std::nullopt : std::optional(history.back());
    const PositionOutcome outcome = decidePosition(latest, incoming);
    if (outcome == PositionOutcome::drop) return;
    std::vector<StoredLocation> outgoing;
    step(history, outgoing, outcome, std::move(incoming), latest);
    // Queued before the history moves on: a process killed in between sends a position twice, never not at all.
    if (!outgoing.empty()) ports_.uploader->send(outgoing);
    history_.save(history);
}

void PositionPipeline::step(History& history, History& outgoing, PositionOutcome outcome, StoredLocation incoming,
                            const std::optional<StoredLocation>& latest) {
    switch (outcome) {
        case PositionOutcome::drop:
            return;
        case PositionOutcome::add:
            open(history, outgoing, std::move(incoming), latest);
            return;
        case PositionOutcome::close:
            close(history, outgoing, *latest, incoming);
            return;
        case PositionOutcome::closeAndAdd:
            close(history, outgoing, *latest, incoming);
            open(history, outgoing, std::move(incoming), latest);
            return;
        case PositionOutcome::revisitKeep:
            revisit(history, outgoing, incoming, latest, true);
            return;
        case PositionOutcome::revisitDrop:
            revisit(history, outgoing, incoming, latest, false);
            return;
    }
}

void PositionPipeline::close(History& history, History& outgoing, StoredLocation latest,
                             const StoredLocation& incoming) {
    latest.departureDate = closingDate(latest, incoming);
    outgoing.push_back(latest);
    PositionHistory::add(history, latest);
}

void PositionPipeline::open(History& history, History& outgoing, StoredLocation incoming,
                            const std::optional<StoredLocation>& latest) {
    if (ports_.monitorRegion) ports_.monitorRegion(incoming.geohash.value_or(""), incoming.latitude, incoming.longitude);
    outgoing.push_back(incoming);
    if (!incoming.arrivalDate) incoming.arrivalDate = distantPast();
    if (!incoming.departureDate) incoming.departureDate = distantFuture();
    const bool enteredNewCell = latest ? !sameCell(*latest, incoming) : incoming.geohash.has_value();
    if (isOpen(incoming) && enteredNewCell) {
        const auto coordinate = incoming.asLocation().coordinate;
        ports_.requestNearbyPlaces(coordinate.latitude, coordinate.longitude);
    }
    PositionHistory::add(history, incoming);
}

void PositionPipeline::revisit(History& history, History& outgoing, const StoredLocation& incoming,
                               const std::optional<StoredLocation>& latest, bool keep) {
    const auto earlier = std::find_if(history.begin(), history.end(),
                                      [&](const StoredLocation& record) { return sameCell(record, incoming); });
    if (earlier != history.end()) {
        if (isOpen(*earlier) && incoming.tipo == LocationType::visit && incoming.arrivalDate != distantPast()) {
            outgoing.push_back(incoming);
        }
        PositionHistory::remove(history, incoming.geohash);
    }
    if (keep) close(history, outgoing, *latest, incoming);
}

}  // namespace fenk
