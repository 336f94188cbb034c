#include "FenkSDK/location/AccuracyFilter.h"
#include "FenkSDK/location/PositionDecision.h"
#include "FenkSDK/location/PositionDescriptor.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>

namespace fenk {
namespace {

using namespace std::chrono_literals;
using enum PositionOutcome;

constexpr Timestamp kNoon{std::chrono::hours(24 * 365 * 26)};
constexpr auto kOpen = std::nullopt;

StoredLocation record(LocationType type, std::optional<std::string> cell, Timestamp arrival,
                      std::optional<Timestamp> departure = kOpen) {
    StoredLocation stored{.tipo = type, .geohash = std::move(cell), .latitude = 40.4, .longitude = -3.7};
    stored.arrivalDate = arrival;
    stored.departureDate = departure.value_or(distantFuture());
    return stored;
}

TEST(PositionDecision, EveryBranchOfTheTable) {
    constexpr auto fix = LocationType::location;
    constexpr auto region = LocationType::region;
    const Timestamp before = kNoon - 10min;
    const Timestamp after = kNoon + 10min;
    struct Row {
        const char* name;
        std::optional<StoredLocation> latest;
        StoredLocation incoming;
        PositionOutcome expected;
    };
    const Row rows[] = {
        {"first record", std::nullopt, record(fix, "a", kNoon), add},
        {"region: same cell, region", record(region, "a", kNoon), record(region, "a", after), drop},
        {"region: same cell, fix", record(region, "a", kNoon), record(fix, "a", after), add},
        {"region: later, open", record(region, "a", kNoon), record(fix, "b", after), closeAndAdd},
        {"region: later, closed", record(region, "a", kNoon, kNoon + 1min), record(fix, "b", after), add},
        {"region: earlier", record(region, "a", kNoon), record(fix, "b", before), revisitDrop},
        {"region: same time", record(region, "a", kNoon), record(fix, "b", kNoon), drop},
        {"later, same cell, closed", record(fix, "a", kNoon, kNoon + 1min), record(fix, "a", after), add},
        {"later, same cell, both open", record(fix, "a", kNoon), record(fix, "a", after), drop},
        {"later, same cell, left", record(fix, "a", kNoon), record(fix, "a", after, after + 1min), close},
        {"later, new cell, open", record(fix, "a", kNoon), record(fix, "b", after), closeAndAdd},
        {"later, new cell, closed", record(fix, "a", kNoon, kNoon + 1min), record(fix, "b", after), add},
        {"later, no cells", record(fix, std::nullopt, kNoon), record(fix, std::nullopt, after), drop},
        {"same time, new cell", record(fix, "a", kNoon, kNoon + 1min), record(fix, "b", kNoon), closeAndAdd},
        {"same time, same cell, open", record(fix, "a", kNoon), record(fix, "a", kNoon), drop},
        {"same time, same cell, latest closed", record(fix, "a", kNoon, after), record(fix, "a", kNoon, after), drop},
        {"same time, same cell, left", record(fix, "a", kNoon), record(fix, "a", kNoon, after), close},
        {"earlier, same cell, latest closed", record(fix, "a", kNoon, after), record(fix, "a", before, after), drop},
        {"earlier, same cell, open", record(fix, "a", kNoon), record(fix, "a", before), drop},
        {"earlier, same cell, left", record(fix, "a", kNoon), record(fix, "a", before, after), revisitKeep},
        {"earlier, other cell, open", record(fix, "a", kNoon), record(fix, "b", before), drop},
        {"earlier, other cell, left", record(fix, "a", kNoon), record(fix, "b", before, kNoon), revisitDrop},
    };
    for (const Row& row : rows) EXPECT_EQ(decidePosition(row.latest, row.incoming), row.expected) << row.name;
}

TEST(PositionDecision, AVisitThatLeftClosesItsCellAtItsDeparture) {
    const StoredLocation open = record(LocationType::location, "a", kNoon);
    const Timestamp arrival = kNoon + 5min;
    const Timestamp departure = kNoon + 2h;
    EXPECT_EQ(closingDate(open, record(LocationType::visit, "a", arrival, departure)), departure);
    EXPECT_EQ(closingDate(open, record(LocationType::location, "b", arrival)), arrival);
    EXPECT_EQ(closingDate(open, record(LocationType::visit, "b", arrival, departure)), arrival) << "left from elsewhere";
}

TEST(AccuracyFilter, OnlyAWholeNumberLimitsFixes) {
    const auto limitOf = [](std::optional<std::string> value) {
        return accuracyLimit({{.name = "other", .value = "10"}, {.name = "userAccuracyMaxValue", .value = value}});
    };
    EXPECT_EQ(limitOf("65"), 65);
    EXPECT_EQ(limitOf("65.9"), 65);
    for (const char* text : {" 65", "65m", "", "nan", "1e300"}) EXPECT_EQ(limitOf(text), 0) << text;
    EXPECT_EQ(limitOf(std::nullopt), 0);
    EXPECT_EQ(accuracyLimit({{.name = "userAccuracyMaxValue", .value = "65"}, {.name = "userAccuracyMaxValue", .value = "x"}}), 0)
        << "the last entry decides";

    StoredLocation fix = record(LocationType::location, "a", kNoon);
    fix.horizontalAccuracy = 65.9;
    EXPECT_FALSE(failsAccuracyLimit(fix, 65));
    fix.horizontalAccuracy = 66.0;
    EXPECT_TRUE(failsAccuracyLimit(fix, 65));
    EXPECT_FALSE(failsAccuracyLimit(fix, 0));
    fix.tipo = LocationType::visit;
    EXPECT_FALSE(failsAccuracyLimit(fix, 65));
}

TEST(PositionDescriptor, PiecesInOrderRoundedAsPrintfRounds) {
    // 2026-01-05T08:00:00.75Z
    constexpr Timestamp kArrival{std::chrono::seconds(789'292'800) + 750ms};
    StoredLocation moving = record(LocationType::location, "a", kArrival);
    moving.speed = 2.5;
    moving.altitude = -0.4;
    moving.horizontalAccuracy = 10.5;
    moving.course = 359.5;
    EXPECT_EQ(describePosition(moving, std::nullopt, 0, ConnectionKind::wifi),
              "time:1767600000,speed:2,altitude:-0,accuracy:10,bearing:360,network_lan:Wifi");

    StoredLocation closed = record(LocationType::visit, "a", kArrival, kArrival + 90min + 500ms);
    closed.speed = -1;
    EXPECT_EQ(dwellSeconds(closed), 5400.5);
    EXPECT_EQ(describePosition(closed, "HOME", dwellSeconds(closed), ConnectionKind::cellular),
              "time:1767600000,tag:HOME,speed:-1,dwelltime:5400,network_lan:Cell");

    StoredLocation unknown = record(LocationType::location, std::nullopt, kArrival);
    unknown.arrivalDate.reset();
    EXPECT_EQ(describePosition(unknown, std::nullopt, 0, ConnectionKind::unavailable), "time:0");
    EXPECT_EQ(describePosition(unknown, std::nullopt, 0, std::nullopt), "time:0");
}

TEST(PositionDescriptor, DwellOnlyBetweenKnownArrivalAndDeparture) {
    EXPECT_EQ(dwellSeconds(record(LocationType::location, "a", kNoon)), 0) << "still there";
    EXPECT_EQ(dwellSeconds(record(LocationType::location, "a", distantPast(), kNoon)), 0) << "arrival unknown";
    EXPECT_EQ(dwellSeconds(record(LocationType::location, "a", kNoon, kNoon - 1min)), 0) << "never negative";
}

}  // namespace
}  // namespace fenk
