#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "FenkSDK/location/LocationCoordinate2D.h"

namespace fenk {

struct GazetteerCity {
    LocationCoordinate2D centre{};
    std::string name{};
    std::string region{};
    std::string country{};
};

// Cities indexed in a grid of one-degree cells, so that finding the nearest one reads a few cells rather
// than every city.
class Gazetteer {
public:
    // Leaves out cities off the globe.
    explicit Gazetteer(std::vector<GazetteerCity> cities);

    struct Nearest {
        const GazetteerCity* city;
        double metres;
    };
    // The city nearest to a coordinate on the globe; none only when there is no city at all.
    std::optional<Nearest> nearest(LocationCoordinate2D coordinate) const;

private:
    // The nearest city no farther than `metres`.
    std::optional<Nearest> nearestWithin(LocationCoordinate2D coordinate, double metres) const;

    std::vector<GazetteerCity> cities_;
    std::vector<std::uint32_t> cellStarts_;  // cell c holds cityIndices_[cellStarts_[c] .. cellStarts_[c + 1])
    std::vector<std::uint32_t> cityIndices_;
};

}  // namespace fenk
