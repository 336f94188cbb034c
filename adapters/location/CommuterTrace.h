#pragma once

#include "FenkSDK/location/LocationFix.h"

#include <chrono>
#include <cstdint>
#include <vector>

namespace fenk {

enum class StayPlace { home, work, other };

// A stay the generator put in the trace: where, and from when until when.
struct Stay {
    StayPlace place{};
    LocationCoordinate2D centre{};
    Timestamp arrival{};
    Timestamp departure{};

    friend bool operator==(const Stay&, const Stay&) = default;
};

struct CommuterOptions {
    int weeks{4};  // 0 to 520
    std::uint64_t seed{1};
    // The trace begins at the local midnight that starts this instant's day, and lasts whole weeks.
    Timestamp start{};
    // Local time is UTC plus this.
    std::chrono::minutes utcOffset{0};
};

struct CommuterTrace {
    std::vector<LocationFix> fixes;  // what a receiver would report, in time order
    std::vector<Stay> stays;         // the truth behind them, in time order
};

// The weeks of someone who sleeps at home, works 09:00-17:30 on weekdays a few kilometres away with a 20-40
// minute commute each way, and goes out once or twice on Saturdays and Sundays. A fix comes every minute or so
// while still and every 5-10 seconds on the move, with a few metres of jitter and 5-15 m accuracy. The same
// options give the same trace with any standard library.
CommuterTrace generateCommuterTrace(const CommuterOptions& options);

}  // namespace fenk
