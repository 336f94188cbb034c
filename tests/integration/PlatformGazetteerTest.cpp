// Tracking info names: seeded areas first, then the packaged gazetteer's nearest city.
#include "tools/fenk-platform/PlatformCatalogue.h"

#include <gtest/gtest.h>

#include <limits>

namespace fenk {
namespace {

TEST(PlatformGazetteer, FindsTheNearestCityAcrossCellEdgesTheDateLineAndThePoles) {
    const Gazetteer gazetteer({{{0.5, 179.9}, "East", "", ""},
                               {{0.5, -170.0}, "FarWest", "", ""},
                               {{89.9, 10.0}, "Pole", "", ""},
                               {{88.0, -170.0}, "Meridian", "", ""},
                               {{10.0, 20.0}, "Inland", "", ""},
                               {{10.0, 21.2}, "Across", "", ""},
                               {{std::numeric_limits<double>::quiet_NaN(), 0.0}, "OffTheGlobe", "", ""}});
    const struct {
        LocationCoordinate2D at;
        const char* nearest;
    } cases[] = {
        {{0.5, -179.9}, "East"},   // 22 km away, over the date line
        {{89.5, -170.0}, "Pole"},  // 67 km over the pole, nearer than 167 km down the meridian
        {{10.0, 20.9}, "Across"},  // one cell east, nearer than the city in its own cell
        {{-30.0, 20.0}, "Inland"},  // thousands of kilometres from any city
    };
    for (const auto& [at, nearest] : cases) {
        SCOPED_TRACE(nearest);
        const auto found = gazetteer.nearest(at);
        ASSERT_TRUE(found);
        EXPECT_EQ(found->city->name, nearest);
    }
    EXPECT_FALSE(Gazetteer({}).nearest({0, 0}));
}

TEST(PlatformGazetteer, TrackingInfoNamesTheSeededAreaElseTheNearbyCityElseItsRegion) {
    std::string error;
    const std::optional<PlatformSeed> seed = loadPlatformSeed(FENK_PLATFORM_SAMPLE_SEED, error);
    ASSERT_TRUE(seed) << error;
    const PlatformCatalogue packaged(*seed, "libgeonames.so.0");
    const PlatformCatalogue missing(*seed, "libno-such-gazetteer.so");
    const struct {
        const char* name;
        const PlatformCatalogue& catalogue;
        LocationCoordinate2D at;
        std::optional<std::string> country, region, city;
    } cases[] = {
        {"seeded area", packaged, {41.38, 2.17}, "ES", "Catalonia", "Barcelona"},
        {"city nearby", packaged, {37.3891, -5.9845}, "Spain", "Andalusia", "Seville"},
        {"city 20 km away", packaged, {40.3, -3.2}, "Spain", "Madrid", "Arganda"},
        {"no city within 30 km", packaged, {23.0, 12.0}, "Libya", "Ghāt", std::nullopt},
        {"no gazetteer: default names", missing, {37.3891, -5.9845}, "", "", ""},
        {"no gazetteer: seeded area", missing, {48.85, 2.35}, "FR", "Ile-de-France", "Paris"},
    };
    for (const auto& [name, catalogue, at, country, region, city] : cases) {
        SCOPED_TRACE(name);
        const FG_TrackingInfo info = catalogue.trackingInfo(seed->apps.front(), at);
        EXPECT_EQ(info.country, country);
        EXPECT_EQ(info.region, region);
        EXPECT_EQ(info.city, city);
        EXPECT_EQ(info.siteId, "7");
    }
}

}  // namespace
}  // namespace fenk
