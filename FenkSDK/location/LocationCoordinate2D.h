#pragma once

namespace fenk {

// A position in degrees; the plain pair the host hands in and the SDK hands back.
struct LocationCoordinate2D {
    double latitude;
    double longitude;

    friend bool operator==(const LocationCoordinate2D&, const LocationCoordinate2D&) = default;
};

// Stands for "no position": both values lie outside their valid range.
inline constexpr LocationCoordinate2D kLocationCoordinate2DInvalid{-180.0, -180.0};

// Latitude within [-90, 90] and longitude within [-180, 180]; NaN is never valid.
constexpr bool isValidCoordinate(const LocationCoordinate2D& coordinate) {
    return coordinate.latitude >= -90.0 && coordinate.latitude <= 90.0 && coordinate.longitude >= -180.0 &&
           coordinate.longitude <= 180.0;
}

}  // namespace fenk
