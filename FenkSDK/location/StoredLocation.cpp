#include "FenkSDK/location/StoredLocation.h"

#include "FenkSDK/places/FenkGeohash.h"

#include <cmath>
#include <utility>

namespace fenk {
namespace {

std::optional<double> finiteOrAbsent(double value) {
    return std::isfinite(value) ? std::optional(value) : std::nullopt;
}

// Every record carries the 7-character cell of its coordinate, the key positions and stays are grouped by.
std::optional<StoredLocation> recordAt(LocationType tipo, LocationCoordinate2D coordinate, Timestamp arrival,
                                       Timestamp departure) {
    if (!std::isfinite(coordinate.latitude) || !std::isfinite(coordinate.longitude)) return std::nullopt;
    return StoredLocation{.tipo = tipo,
                          .geohash = fenkGeohash(coordinate, FenkGeohash::Precision::seventySixMeters),
                          .latitude = coordinate.latitude,
                          .longitude = coordinate.longitude,
                          .arrivalDate = arrival,
                          .departureDate = departure};
}

}  // namespace

std::optional<StoredLocation> StoredLocation::fromFix(const LocationFix& fix) {
    std::optional<StoredLocation> record =
        recordAt(LocationType::location, fix.coordinate, fix.timestamp, distantFuture());
    if (!record) return std::nullopt;
    record->altitude = finiteOrAbsent(fix.altitude);
    record->horizontalAccuracy = finiteOrAbsent(fix.horizontalAccuracy);
    record->verticalAccuracy = finiteOrAbsent(fix.verticalAccuracy);
    record->speed = finiteOrAbsent(fix.speed);
    record->course = finiteOrAbsent(fix.course);
    return record;
}

std::optional<StoredLocation> StoredLocation::fromVisit(LocationCoordinate2D coordinate, Timestamp arrival,
                                                        Timestamp departure) {
    return recordAt(LocationType::visit, coordinate, arrival, departure);
}

std::optional<StoredLocation> StoredLocation::fromRegion(std::string identifier, LocationCoordinate2D centre,
                                                         Timestamp arrival, Timestamp departure) {
    std::optional<StoredLocation> record = recordAt(LocationType::region, centre, arrival, departure);
    if (record) record->nombre = std::move(identifier);
    return record;
}

LocationFix StoredLocation::asLocation() const {
    return LocationFix{.coordinate = {latitude, longitude},
                       .altitude = altitude.value_or(0),
                       .horizontalAccuracy = horizontalAccuracy.value_or(0),
                       .verticalAccuracy = verticalAccuracy.value_or(0),
                       .speed = speed.value_or(0),
                       .course = course.value_or(0),
                       .timestamp = arrivalDate.value_or(distantPast())};
}

}  // namespace fenk
