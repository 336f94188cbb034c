#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "FenkSDK/location/LocationCoordinate2D.h"

namespace fenk {

// Geohash of the usual base-32 scheme: interleaved bisection bits, longitude first. Positions and stays are
// keyed by the 7-character hash of their coordinate.
class FenkGeohash {
public:
    // The raw value is the hash length; the name gives the rough cell size at that length.
    enum class Precision : int {
        twentyFiveHundredKilometers = 1,
        sixHundredThirtyKilometers = 2,
        seventyEightKilometers = 3,
        twentyKilometers = 4,
        twentyFourHundredMeters = 5,
        sixHundredTenMeters = 6,
        seventySixMeters = 7,
        nineteenMeters = 8,
        twoHundredFourtyCentimeters = 9,
        sixtyCentimeters = 10,
        seventyFourMillimeters = 11,
    };

    struct Range {
        double min;
        double max;

        friend bool operator==(const Range&, const Range&) = default;
    };

    struct CellBox {
        Range latitude;
        Range longitude;

        friend bool operator==(const CellBox&, const CellBox&) = default;
    };

    FenkGeohash() = delete;

    // Accepts 1 to 11 only.
    static constexpr std::optional<Precision> precisionFromRawValue(int rawValue) {
        if (rawValue < static_cast<int>(Precision::twentyFiveHundredKilometers) ||
            rawValue > static_cast<int>(Precision::seventyFourMillimeters)) {
            return std::nullopt;
        }
        return static_cast<Precision>(rawValue);
    }

    // Exactly `length` characters. Coordinates are neither clamped nor wrapped: past the upper bound of an
    // axis its bits are all one, below the lower bound all zero. A negative length gives the empty string.
    static std::string encode(double latitude, double longitude, int length);
    static std::string encode(double latitude, double longitude, Precision precision);

    // Absent when any character is outside the alphabet; the empty string is the whole world.
    static std::optional<CellBox> decode(std::string_view hash);
};

std::string fenkGeohash(const LocationCoordinate2D& coordinate, int length);
std::string fenkGeohash(const LocationCoordinate2D& coordinate, FenkGeohash::Precision precision);

// The centre of the hash's cell, or kLocationCoordinate2DInvalid when the hash does not decode.
LocationCoordinate2D coordinateFromGeohash(std::string_view hash);

}  // namespace fenk
