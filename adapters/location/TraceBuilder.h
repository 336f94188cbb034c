#pragma once

#include "adapters/location/TraceResult.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace fenk {

// Gathers the timed points a reader finds and turns them into the fixes a receiver would have reported:
// in time order, with speed and course worked out from the previous point where the trace carries none.
// Fields a trace does not carry are NaN when added.
class TraceBuilder {
public:
    explicit TraceBuilder(const TraceLimits& limits) : limits_(limits) {}

    // Refuses the point that would go past the point limit.
    std::optional<TraceError> add(const LocationFix& fix, std::size_t line);

    // The first point of a trace has no predecessor: its derived speed and course stay NaN.
    TraceResult finish() &&;

private:
    TraceLimits limits_;
    std::vector<LocationFix> fixes_;
    std::vector<std::size_t> lines_;
};

}  // namespace fenk
