#pragma once

#include "FenkSDK/location/LocationCoordinate2D.h"
#include "FenkSDK/location/LocationFix.h"
#include "FenkSDK/location/Timestamp.h"
#include "FenkSDK/ports/Location.h"

#include <chrono>
#include <cstddef>
#include <optional>

namespace fenk {

// Finds the places where the device stays, by fix time. Fixes that keep within a small radius of their mean
// form a cluster; once a cluster spans the dwell time it is announced as an arrival (still there), and the
// first fix clearly outside it announces the departure, dated by the last fix inside.
class VisitDetector {
public:
    static constexpr double kRadiusMeters = 75;
    static constexpr std::chrono::minutes kDwell{10};

    std::optional<Visit> observe(const LocationFix& fix);

private:
    struct Cluster {
        explicit Cluster(const LocationFix& first);
        void add(const LocationFix& fix);
        Visit visit(Timestamp departure) const { return {centre, arrival, departure}; }

        Timestamp arrival;
        Timestamp lastInside;
        bool arrived = false;
        double referenceLongitude;
        double latitudeSum = 0;
        double longitudeOffsetSum = 0;  // from the reference, so a cluster astride 180° averages correctly
        std::size_t count = 0;
        LocationCoordinate2D centre{};
    };

    std::optional<Cluster> cluster_;
};

}  // namespace fenk
