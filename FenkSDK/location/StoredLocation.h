#pragma once

#include "FenkSDK/json/RecordCodec.h"
#include "FenkSDK/location/LocationCoordinate2D.h"
#include "FenkSDK/location/LocationFix.h"
#include "FenkSDK/location/LocationType.h"
#include "FenkSDK/location/Timestamp.h"
#include "FenkSDK/location/TimestampCodec.h"

#include <optional>
#include <string>
#include <tuple>

namespace fenk {

// The position record: what the location layer produces, the pipeline buffers and uploads, and the stay
// analysis reads. An arrival of distantPast() means "unknown"; a departure of distantFuture() means the
// device is still there (the record is open).
struct StoredLocation {
    LocationType tipo{};
    std::optional<std::string> geohash{};
    std::optional<std::string> nombre{};  // region identifier, region records only
    double latitude{};
    double longitude{};
    std::optional<double> altitude{};
    std::optional<double> horizontalAccuracy{};
    std::optional<double> verticalAccuracy{};
    std::optional<double> speed{};
    std::optional<Timestamp> arrivalDate{};
    std::optional<Timestamp> departureDate{};
    std::optional<double> course{};

    static constexpr auto jsonFields = std::tuple{
        json::field("tipo", &StoredLocation::tipo),
        json::field("geohash", &StoredLocation::geohash),
        json::field("nombre", &StoredLocation::nombre),
        json::field("latitude", &StoredLocation::latitude),
        json::field("longitude", &StoredLocation::longitude),
        json::field("altitude", &StoredLocation::altitude),
        json::field("horizontalAccuracy", &StoredLocation::horizontalAccuracy),
        json::field("verticalAccuracy", &StoredLocation::verticalAccuracy),
        json::field("speed", &StoredLocation::speed),
        json::field("arrivalDate", &StoredLocation::arrivalDate),
        json::field("departureDate", &StoredLocation::departureDate),
        json::field("course", &StoredLocation::course)};

    // The factories refuse a coordinate that is not a finite number and leave out any measurement that is
    // not one, so every record they build can be written as JSON.

    // Open from the fix time on.
    static std::optional<StoredLocation> fromFix(const LocationFix& fix);
    static std::optional<StoredLocation> fromVisit(LocationCoordinate2D coordinate, Timestamp arrival,
                                                   Timestamp departure);
    static std::optional<StoredLocation> fromRegion(std::string identifier, LocationCoordinate2D centre,
                                                    Timestamp arrival, Timestamp departure);

    // Absent measurements read as 0 and an absent arrival as distantPast().
    LocationFix asLocation() const;

    friend bool operator==(const StoredLocation&, const StoredLocation&) = default;
};

}  // namespace fenk
