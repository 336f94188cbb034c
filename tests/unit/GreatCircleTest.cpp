#include "FenkSDK/places/GreatCircle.h"

#include <gtest/gtest.h>

namespace fenk {
namespace {

TEST(GreatCircle, KnownDistancesAndBearings) {
    struct Case {
        LocationCoordinate2D from, to;
        double meters, tolerance, bearing;
    };
    const Case cases[] = {
        {{0, 0}, {0, 1}, 111'195, 1, 90},                         // one degree along the equator
        {{0, 0}, {1, 0}, 111'195, 1, 0},                          // one degree along a meridian
        {{40.4168, -3.7038}, {41.3874, 2.1686}, 505'000, 2'000, 76},  // Madrid to Barcelona
        {{10, 10}, {10, 10}, 0, 1e-9, 0},
        {{0, 179.9995}, {0, -179.9995}, 111.2, 0.5, 90},           // across the antimeridian
        {{0, 0}, {-1, 0}, 111'195, 1, 180},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(distanceMeters(c.from, c.to), c.meters, c.tolerance);
        EXPECT_NEAR(initialBearingDegrees(c.from, c.to), c.bearing, 1);
    }
}

}  // namespace
}  // namespace fenk
