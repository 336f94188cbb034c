#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "FenkSDK/places/FenkGeohash.h"

namespace fenk {
namespace {

using Precision = FenkGeohash::Precision;
using CellBox = FenkGeohash::CellBox;

constexpr std::string_view kAlphabet = "0123456789bcdefghjkmnpqrstuvwxyz";
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

struct Bisected {
    std::string hash;
    CellBox box;
};

// The plain bit-by-bit rule, kept as slow and obvious as possible; [0] is longitude, [1] latitude.
Bisected referenceBisection(double latitude, double longitude, int length) {
    FenkGeohash::Range ranges[2] = {{-180.0, 180.0}, {-90.0, 90.0}};
    const double coordinates[2] = {longitude, latitude};
    std::string hash;
    unsigned value = 0;
    for (int position = 0; position < 5 * length; ++position) {
        FenkGeohash::Range& range = ranges[position % 2];
        const double mid = (range.min + range.max) * 0.5;
        const bool upper = !(coordinates[position % 2] < mid);
        (upper ? range.min : range.max) = mid;
        value = value * 2 + upper;
        if (position % 5 == 4) {
            hash += kAlphabet[value];
            value = 0;
        }
    }
    return {hash, {ranges[1], ranges[0]}};
}

void expectMatchesBisection(double latitude, double longitude, int length) {
    const Bisected expected = referenceBisection(latitude, longitude, length);
    const std::string hash = FenkGeohash::encode(latitude, longitude, length);
    ASSERT_EQ(hash, expected.hash) << "latitude " << latitude << " longitude " << longitude;
    ASSERT_EQ(FenkGeohash::decode(hash), expected.box) << hash;
}

TEST(FenkGeohashTest, EncodesKnownCells) {
    struct Case { double latitude, longitude; int length; std::string_view hash; };
    for (const Case& c : std::vector<Case>{{0, 0, 1, "s"}, {90, 180, 5, "zzzzz"}, {-90, -180, 5, "00000"},
                                           {45, 90, 2, "y0"}, {0, 0, 0, ""}, {10, 10, -3, ""}}) {
        EXPECT_EQ(FenkGeohash::encode(c.latitude, c.longitude, c.length), c.hash) << c.hash;
    }
    EXPECT_EQ(FenkGeohash::encode(12.5, -7.25, Precision::seventySixMeters), FenkGeohash::encode(12.5, -7.25, 7));
    EXPECT_EQ(fenkGeohash({12.5, -7.25}, 9), FenkGeohash::encode(12.5, -7.25, 9));
}

TEST(FenkGeohashTest, PrecisionAcceptsOnlyOneToEleven) {
    for (const int raw : {-1, 0, 1, 11, 12}) {
        EXPECT_EQ(FenkGeohash::precisionFromRawValue(raw).has_value(), raw >= 1 && raw <= 11) << raw;
    }
}

// Decoded boxes are checked against bisection below; here, the centre and the characters refused.
TEST(FenkGeohashTest, DecodesCentresAndRejectsCharactersOutsideTheAlphabet) {
    EXPECT_EQ(coordinateFromGeohash("s"), (LocationCoordinate2D{22.5, 22.5}));
    using namespace std::string_view_literals;
    for (const std::string_view hash : {"a"sv, "i"sv, "l"sv, "o"sv, "S"sv, "u4pA"sv, "s\0"sv, "0123456789bcdefa"sv}) {
        EXPECT_EQ(FenkGeohash::decode(hash), std::nullopt) << hash;
        EXPECT_EQ(coordinateFromGeohash(hash), kLocationCoordinate2DInvalid) << hash;
    }
    EXPECT_FALSE(isValidCoordinate(kLocationCoordinate2DInvalid));
    EXPECT_TRUE(isValidCoordinate({90, -180}));
    EXPECT_FALSE(isValidCoordinate({kNaN, 0}));
}

// Cell boundary `cell` of `cells` equal cells along an axis; exact, as the bisection's midpoints are.
double boundary(double lowerBound, double width, int64_t cell, int64_t cells) {
    return lowerBound + width * static_cast<double>(cell) / static_cast<double>(cells);
}

std::array<double, 3> withNeighbours(double value) {
    return {std::nextafter(value, -kInfinity), value, std::nextafter(value, kInfinity)};
}

// The fast encoder guesses the cell arithmetically; the boundaries and their neighbouring doubles are where
// a wrong guess would show. Every boundary up to 7 characters on both axes, a random sample beyond.
TEST(FenkGeohashTest, MatchesBisectionAtCellBoundaries) {
    std::mt19937_64 generator(1);
    for (int length = 1; length <= 12; ++length) {
        const int64_t longitudeCells = int64_t{1} << ((5 * length + 1) / 2);
        const int64_t latitudeCells = int64_t{1} << (5 * length / 2);
        const bool everyBoundary = length <= 7;
        std::uniform_int_distribution<int64_t> anyBoundary(0, longitudeCells);
        for (int64_t sample = 0; sample < (everyBoundary ? longitudeCells + 1 : 1 << 14); ++sample) {
            const int64_t cell = everyBoundary ? sample : anyBoundary(generator);
            const double longitude = boundary(-180, 360, cell, longitudeCells);
            const double latitude = boundary(-90, 180, cell % (latitudeCells + 1), latitudeCells);
            for (const double lon : withNeighbours(longitude)) {
                for (const double lat : withNeighbours(latitude)) {
                    ASSERT_NO_FATAL_FAILURE(expectMatchesBisection(lat, lon, length));
                }
            }
        }
    }
}

// Values outside the axes, NaN and lengths past one machine word, then a random sample of ordinary cells.
TEST(FenkGeohashTest, MatchesBisectionForUnusualAndRandomValues) {
    const double max = std::numeric_limits<double>::max();
    const double tiny = std::numeric_limits<double>::denorm_min();
    const std::vector<double> values{kNaN, kInfinity, -kInfinity, max, -max, 1e300, -0.0, tiny, -tiny, 1e-9,
                                     90, std::nextafter(90.0, 91.0), -90, 180, -180, std::nextafter(-180.0, -181.0),
                                     200, 57.3};
    for (const double latitude : values) {
        for (const double longitude : values) {
            for (const int length : {0, 1, 2, 5, 7, 11, 12, 13, 14, 24, 450}) {
                ASSERT_NO_FATAL_FAILURE(expectMatchesBisection(latitude, longitude, length));
            }
        }
    }
    std::mt19937_64 generator(7);
    std::uniform_real_distribution<double> latitudes(-90.0, 90.0);
    std::uniform_real_distribution<double> longitudes(-180.0, 180.0);
    std::uniform_int_distribution<int> lengths(0, 30);
    for (int sample = 0; sample < 20000; ++sample) {
        const double latitude = latitudes(generator);
        const double longitude = longitudes(generator);
        ASSERT_NO_FATAL_FAILURE(expectMatchesBisection(latitude, longitude, lengths(generator)));
    }
}

}  // namespace
}  // namespace fenk
