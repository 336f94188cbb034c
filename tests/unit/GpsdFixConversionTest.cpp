#include "adapters/linux/GpsdReceiver.h"

#include <gps.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <tuple>

namespace fenk {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A 3D fix as gpsd decodes it, 2024-01-01T00:00:00.25Z.
gps_fix_t threeDimensionalFix() {
    gps_fix_t fix{};
    fix.mode = MODE_3D;
    fix.time = {1'704'067'200, 250'000'000};
    fix.latitude = -33.9;
    fix.longitude = 151.2;
    fix.altMSL = 58.0;
    fix.altHAE = 80.0;
    fix.eph = 4.5;
    fix.epx = 3.0;
    fix.epy = 4.0;
    fix.epv = 7.0;
    fix.speed = 1.5;
    fix.track = 270.0;
    return fix;
}

// NaN stands for "unknown" on both sides.
bool sameValue(double actual, double expected) {
    return std::isnan(expected) ? std::isnan(actual) : actual == expected;
}

TEST(GpsdFixConversion, KeepsWhatGpsdKnowsAndRefusesFixesWithoutAValidPositionOrTime) {
    const auto time = timestampFromSecondsSinceReferenceDate(1'704'067'200.25 - 978'307'200);
    const struct {
        const char* name;
        std::function<void(gps_fix_t&)> change;
        std::optional<LocationFix> expected;
    } cases[] = {
        {"3D", [](gps_fix_t&) {}, LocationFix{{-33.9, 151.2}, 58.0, 4.5, 7.0, 1.5, 270.0, *time}},
        {"2D has no altitude", [](gps_fix_t& fix) { fix.mode = MODE_2D; },
         LocationFix{{-33.9, 151.2}, kNaN, 4.5, kNaN, 1.5, 270.0, *time}},
        {"unknown values stay unknown",
         [](gps_fix_t& fix) { fix.altMSL = fix.epv = fix.speed = fix.track = kNaN; },
         LocationFix{{-33.9, 151.2}, kNaN, 4.5, kNaN, kNaN, kNaN, *time}},
        {"no eph: from epx and epy", [](gps_fix_t& fix) { fix.eph = kNaN; },
         LocationFix{{-33.9, 151.2}, 58.0, 5.0, 7.0, 1.5, 270.0, *time}},
        {"no fix", [](gps_fix_t& fix) { fix.mode = MODE_NO_FIX; }, std::nullopt},
        {"mode never seen", [](gps_fix_t& fix) { fix.mode = MODE_NOT_SEEN; }, std::nullopt},
        {"latitude unknown", [](gps_fix_t& fix) { fix.latitude = kNaN; }, std::nullopt},
        {"longitude infinite", [](gps_fix_t& fix) { fix.longitude = INFINITY; }, std::nullopt},
        {"latitude beyond a pole", [](gps_fix_t& fix) { fix.latitude = 90.5; }, std::nullopt},
        {"longitude beyond the antimeridian", [](gps_fix_t& fix) { fix.longitude = -180.5; }, std::nullopt},
        {"no time", [](gps_fix_t& fix) { fix.time = {0, 0}; }, std::nullopt},
        {"time out of any range", [](gps_fix_t& fix) { fix.time = {std::numeric_limits<time_t>::max(), 0}; },
         std::nullopt},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        auto fix = threeDimensionalFix();
        test.change(fix);
        const auto actual = locationFixFromGpsd(fix);
        ASSERT_EQ(actual.has_value(), test.expected.has_value());
        if (!actual) continue;
        const auto& expected = *test.expected;
        EXPECT_EQ(actual->coordinate, expected.coordinate);
        EXPECT_EQ(actual->timestamp, expected.timestamp);
        const std::tuple<const char*, double, double> values[] = {
            {"altitude", actual->altitude, expected.altitude},
            {"horizontal accuracy", actual->horizontalAccuracy, expected.horizontalAccuracy},
            {"vertical accuracy", actual->verticalAccuracy, expected.verticalAccuracy},
            {"speed", actual->speed, expected.speed},
            {"course", actual->course, expected.course}};
        for (const auto& [field, got, want] : values) EXPECT_PRED2(sameValue, got, want) << field;
    }
}

}  // namespace
}  // namespace fenk
