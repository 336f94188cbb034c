#pragma once

#include "FenkSDK/location/StoredLocation.h"

#include <optional>

namespace fenk {

// What a new record means for the latest one of the history.
enum class PositionOutcome {
    drop,          // nothing changes
    add,           // the record opens a new entry
    close,         // the latest entry is closed by the record, which is not kept
    closeAndAdd,   // both
    revisitKeep,   // an older entry of the record's cell is replaced; then the latest is closed
    revisitDrop,   // an older entry of the record's cell is replaced; nothing else
};

// Both without a cell, or both in the same one.
bool sameCell(const StoredLocation& a, const StoredLocation& b);
// Still there: the departure is the far-future sentinel.
bool isOpen(const StoredLocation& record);
// The arrival, the far-past sentinel when unknown.
Timestamp arrivalOf(const StoredLocation& record);

// The decision for `incoming` given the latest entry of the history (none when it is empty).
PositionOutcome decidePosition(const std::optional<StoredLocation>& latest, const StoredLocation& incoming);

// When `closer` closes `open`: where the device was seen leaving. A record of the same cell that has left
// already (a visit with its departure) closes it at that departure; any other closes it at its arrival.
std::optional<Timestamp> closingDate(const StoredLocation& open, const StoredLocation& closer);

}  // namespace fenk
