#pragma once

#include "FenkSDK/ports/Clock.h"

#include <array>

namespace fenk {

struct Stretch {
    SystemTime from{};
    SystemTime to{};

    bool holds(SystemTime time) const { return time >= from && time < to; }
};

// The trouble a run meets on its way: two spells without a network and, between them, a stretch in which the
// platform answers every position upload with 503. Placed at fixed fractions of the trace, so that any trace
// meets them in its middle.
struct DemoPlan {
    std::array<Stretch, 2> offline{};
    Stretch faults{};
};

DemoPlan planDisruptions(SystemTime first, SystemTime last);

}  // namespace fenk
