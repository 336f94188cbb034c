#include "FenkSDK/json/RecordCodec.h"
#include "FenkSDK/location/StoredLocation.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace fenk {

// Failures show the coded form instead of raw bytes.
void PrintTo(const StoredLocation& record, std::ostream* out) {
    *out << json::encode(record).value_or("(a record JSON cannot hold)");
}

namespace {

using namespace std::chrono_literals;

constexpr LocationCoordinate2D kHarbour{57.64911, 10.40744};  // cell u4pruyd
constexpr Timestamp kArrival{730944000500000us};                // 2024-03-01T00:00:00.5Z
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

const StoredLocation kFullRecord{.tipo = LocationType::region,
                                 .geohash = "u4pruyd",
                                 .nombre = "FENK_LOCATION_HOME_u4pruyd",
                                 .latitude = 57.64911,
                                 .longitude = 10.40744,
                                 .altitude = 12.5,
                                 .horizontalAccuracy = 5,
                                 .verticalAccuracy = 3,
                                 .speed = 1.25,
                                 .arrivalDate = kArrival,
                                 .departureDate = distantFuture(),
                                 .course = 270};
const std::string kFullJson =
    R"({"tipo":{"rawValue":2},"geohash":"u4pruyd","nombre":"FENK_LOCATION_HOME_u4pruyd","latitude":57.64911,)"
    R"("longitude":10.40744,"altitude":12.5,"horizontalAccuracy":5,"verticalAccuracy":3,"speed":1.25,)"
    R"("arrivalDate":730944000.5,"departureDate":63113904000,"course":270})";

const StoredLocation kMinimalRecord{.tipo = LocationType::visit, .latitude = -33.5, .longitude = 0};
const std::string kMinimalJson = R"({"tipo":{"rawValue":1},"latitude":-33.5,"longitude":0})";

// Stored lists are read back on the next launch; a record that changed on the way would be a different
// position (or, for a sentinel date, a closed stay turned open).
TEST(StoredLocationTest, CodedFormIsExactAndReadsBackEqual) {
    const struct {
        const StoredLocation& record;
        const std::string& json;
    } cases[] = {{kFullRecord, kFullJson}, {kMinimalRecord, kMinimalJson}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        EXPECT_EQ(json::encode(c.record), c.json);
        EXPECT_EQ(json::decode<StoredLocation>(c.json), c.record);
    }

    StoredLocation unknownArrival = kMinimalRecord;
    unknownArrival.arrivalDate = distantPast();
    unknownArrival.departureDate = distantFuture();
    const std::vector<StoredLocation> list{kFullRecord, unknownArrival};
    const std::optional<std::string> encoded = json::encode(list);
    ASSERT_TRUE(encoded);
    EXPECT_EQ(json::decode<std::vector<StoredLocation>>(*encoded), list);
    // A source this build does not know is refused, not taken for another.
    EXPECT_FALSE(json::decode<StoredLocation>(R"({"tipo":{"rawValue":3},"latitude":1,"longitude":2})"));
}

// What each source produces, down to the last field: the pipeline keys on the cell and on the dates.
TEST(StoredLocationTest, FactoriesFillTheFieldsOfTheirSource) {
    const LocationFix fix{.coordinate = kHarbour,
                          .altitude = 12.5,
                          .horizontalAccuracy = 5,
                          .verticalAccuracy = 3,
                          .speed = 1.25,
                          .course = 270,
                          .timestamp = kArrival};
    const Timestamp departure = kArrival + 1h;
    const StoredLocation base{.geohash = "u4pruyd", .latitude = kHarbour.latitude, .longitude = kHarbour.longitude};
    const auto with = [&](std::function<void(StoredLocation&)> change) {
        StoredLocation record = base;
        change(record);
        return record;
    };
    const struct {
        std::string name;
        std::optional<StoredLocation> built;
        StoredLocation expected;
    } cases[] = {
        {"fix", StoredLocation::fromFix(fix), with([&](StoredLocation& r) {
             r.tipo = LocationType::location;
             r.altitude = 12.5;
             r.horizontalAccuracy = 5;
             r.verticalAccuracy = 3;
             r.speed = 1.25;
             r.course = 270;
             r.arrivalDate = kArrival;
             r.departureDate = distantFuture();
         })},
        {"visit", StoredLocation::fromVisit(kHarbour, distantPast(), departure), with([&](StoredLocation& r) {
             r.tipo = LocationType::visit;
             r.arrivalDate = distantPast();
             r.departureDate = departure;
         })},
        {"region", StoredLocation::fromRegion("FENK_LOCATION_WORK_u4pruyd", kHarbour, kArrival, distantFuture()),
         with([&](StoredLocation& r) {
             r.tipo = LocationType::region;
             r.nombre = "FENK_LOCATION_WORK_u4pruyd";
             r.arrivalDate = kArrival;
             r.departureDate = distantFuture();
         })},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.built, c.expected);
    }
}

// A platform reading of NaN or infinity must not produce a record the store then cannot write.
TEST(StoredLocationTest, NonFiniteReadingsNeverReachARecord) {
    const LocationFix noisy{.coordinate = kHarbour,
                            .altitude = kNaN,
                            .horizontalAccuracy = kInfinity,
                            .verticalAccuracy = -kInfinity,
                            .speed = kNaN,
                            .course = kNaN,
                            .timestamp = kArrival};
    const std::optional<StoredLocation> record = StoredLocation::fromFix(noisy);
    ASSERT_TRUE(record);
    EXPECT_EQ(json::encode(*record),
              R"({"tipo":{"rawValue":0},"geohash":"u4pruyd","latitude":57.64911,"longitude":10.40744,)"
              R"("arrivalDate":730944000.5,"departureDate":63113904000})");

    for (const LocationCoordinate2D bad : {LocationCoordinate2D{kNaN, 0}, LocationCoordinate2D{0, kInfinity}}) {
        EXPECT_FALSE(StoredLocation::fromFix({.coordinate = bad}));
        EXPECT_FALSE(StoredLocation::fromVisit(bad, kArrival, distantFuture()));
        EXPECT_FALSE(StoredLocation::fromRegion("FENK_LOCATION_HOME_x", bad, kArrival, distantFuture()));
    }
}

TEST(StoredLocationTest, AsLocationReadsAbsentValuesAsZeroAndDistantPast) {
    EXPECT_EQ(kMinimalRecord.asLocation(), (LocationFix{.coordinate = {-33.5, 0}, .timestamp = distantPast()}));
}

}  // namespace
}  // namespace fenk
