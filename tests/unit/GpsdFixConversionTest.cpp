#include "adapters/linux/GpsdReceiver.h"
#include "support/TraceFixes.h"

#include <gps.h>
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <tuple>

namespace fenk {
namespace {

using test::kNaN;

// A 3D fix as gpsd decodes it, 2024-01-01T00:00:00.25Z.
gps_fix_t threeDimensionalFix() {
    gps_fix_t fix{};
    fix.mode = MODE_3D;
    fix.time = {1'704'067'200, 250'000'000};
    std::tie(fix.latitude, fix.longitude, fix.altMSL, fix.altHAE) = std::tuple{-33.9, 151.2, 58.0, 80.0};
    std::tie(fix.eph, fix.epx, fix.epy, fix.epv, fix.speed, fix.track) = std::tuple{4.5, 3.0, 4.0, 7.0, 1.5, 270.0};
    return fix;
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
        {"latitude unknown", [](gps_fix_t& fix) { fix.latitude = kNaN; }, std::nullopt},
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
        if (actual) test::expectSameFixes({*actual}, {*test.expected}, 0);
    }
}

}  // namespace
}  // namespace fenk
