#include "tools/fenk-platform/Gazetteer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "FenkSDK/places/GreatCircle.h"

namespace fenk {
namespace {

constexpr int kRows = 180;
constexpr int kColumns = 360;
// The first search radius; each miss doubles it, until it spans the globe.
constexpr double kFirstSearchMetres = 32'000;
constexpr double kHalfCircumferenceMetres = kEarthRadiusMeters * std::numbers::pi;

int rowOf(double latitude) { return std::clamp(static_cast<int>(std::floor(latitude + 90)), 0, kRows - 1); }

int columnOf(double longitude) {
    const int column = static_cast<int>(std::floor(longitude + 180)) % kColumns;
    return column < 0 ? column + kColumns : column;
}

std::size_t cellOf(LocationCoordinate2D coordinate) {
    return static_cast<std::size_t>(rowOf(coordinate.latitude) * kColumns + columnOf(coordinate.longitude));
}

}  // namespace

Gazetteer::Gazetteer(std::vector<GazetteerCity> cities)
    : cities_(std::move(cities)), cellStarts_(std::size_t{kRows} * kColumns + 1) {
    std::erase_if(cities_, [](const GazetteerCity& city) { return !isValidCoordinate(city.centre); });
    cityIndices_.resize(cities_.size());
    // Counting sort of the cities by cell.
    for (const GazetteerCity& city : cities_) ++cellStarts_[cellOf(city.centre) + 1];
    for (std::size_t cell = 1; cell < cellStarts_.size(); ++cell) cellStarts_[cell] += cellStarts_[cell - 1];
    std::vector<std::uint32_t> filled(cellStarts_.begin(), cellStarts_.end() - 1);
    for (std::uint32_t index = 0; index < cities_.size(); ++index) {
        cityIndices_[filled[cellOf(cities_[index].centre)]++] = index;
    }
}

std::optional<Gazetteer::Nearest> Gazetteer::nearest(LocationCoordinate2D coordinate) const {
    for (double metres = kFirstSearchMetres;; metres *= 2) {
        if (std::optional<Nearest> found = nearestWithin(coordinate, metres)) return found;
        if (metres > kHalfCircumferenceMetres) return std::nullopt;
    }
}

std::optional<Gazetteer::Nearest> Gazetteer::nearestWithin(LocationCoordinate2D coordinate, double metres) const {
    // The box that holds every point within `metres`: the latitudes the distance spans, and the longitudes
    // where the circle touches its meridians; a circle around a pole spans every longitude.
    const double radians = metres / kEarthRadiusMeters;
    const double latitudeSpan = radians * 180 / std::numbers::pi;
    const int firstRow = rowOf(coordinate.latitude - latitudeSpan);
    const int lastRow = rowOf(coordinate.latitude + latitudeSpan);
    const bool wholeParallel = std::abs(coordinate.latitude) + latitudeSpan >= 90;
    const double longitudeSpan =
        wholeParallel ? 180
                      : std::asin(std::sin(radians) / std::cos(coordinate.latitude * std::numbers::pi / 180)) * 180 /
                            std::numbers::pi;
    const int firstColumn = wholeParallel ? 0 : columnOf(coordinate.longitude - longitudeSpan);
    const int columnCount =
        wholeParallel ? kColumns : std::min(kColumns, static_cast<int>(std::floor(2 * longitudeSpan)) + 2);

    std::optional<Nearest> best;
    for (int row = firstRow; row <= lastRow; ++row) {
        for (int step = 0; step < columnCount; ++step) {
            const auto cell = static_cast<std::size_t>(row * kColumns + (firstColumn + step) % kColumns);
            for (std::uint32_t at = cellStarts_[cell]; at < cellStarts_[cell + 1]; ++at) {
                const GazetteerCity& city = cities_[cityIndices_[at]];
                const double distance = distanceMeters(coordinate, city.centre);
                if (distance <= metres && (!best || distance < best->metres)) best = Nearest{&city, distance};
            }
        }
    }
    return best;
}

}  // namespace fenk
