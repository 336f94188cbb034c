#include "FenkSDK/location/PositionDecision.h"

namespace fenk {

bool sameCell(const StoredLocation& a, const StoredLocation& b) { return a.geohash == b.geohash; }

bool isOpen(const StoredLocation& record) { return record.departureDate == distantFuture(); }

Timestamp arrivalOf(const StoredLocation& record) { return record.arrivalDate.value_or(distantPast()); }

PositionOutcome decidePosition(const std::optional<StoredLocation>& latest, const StoredLocation& incoming) {
    using enum PositionOutcome;
    if (!latest) return add;
    const StoredLocation& last = *latest;
    const bool cellUnchanged = sameCell(last, incoming);
    const Timestamp lastArrival = arrivalOf(last);
    const Timestamp arrival = arrivalOf(incoming);

    if (last.tipo == LocationType::region) {
        if (cellUnchanged) return incoming.tipo == LocationType::region ? drop : add;
        if (lastArrival < arrival) return isOpen(last) ? closeAndAdd : add;
        if (lastArrival > arrival) return revisitDrop;
        return drop;
    }
    if (lastArrival < arrival) {
        if (!cellUnchanged) return isOpen(last) ? closeAndAdd : add;
        if (!isOpen(last)) return add;
        return isOpen(incoming) ? drop : close;
    }
    if (lastArrival == arrival) {
        if (!cellUnchanged) return closeAndAdd;
        return isOpen(incoming) || !isOpen(last) ? drop : close;
    }
    if (cellUnchanged) return !isOpen(last) || isOpen(incoming) ? drop : revisitKeep;
    return isOpen(incoming) ? drop : revisitDrop;
}

std::optional<Timestamp> closingDate(const StoredLocation& open, const StoredLocation& closer) {
    const bool hasLeft = closer.departureDate && *closer.departureDate != distantFuture();
    if (sameCell(open, closer) && hasLeft) return closer.departureDate;
    return closer.arrivalDate;
}

}  // namespace fenk
