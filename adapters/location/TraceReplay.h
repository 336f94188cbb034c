#pragma once

#include "FenkSDK/location/LocationFix.h"
#include "FenkSDK/ports/Dispatcher.h"
#include "adapters/location/EngineLocation.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace fenk {

// Feeds an engine a recorded list of fixes, each at its own time on the dispatcher's clock: under the fake
// dispatcher a month replays as fast as the engine runs. Only the next fix is ever scheduled, so a long
// trace costs no more than its list. Fixes dated at or before now go in at once, in list order.
class TraceReplay {
public:
    TraceReplay(std::shared_ptr<EngineLocation> engine, std::shared_ptr<Dispatcher> dispatcher,
                std::vector<LocationFix> fixes);
    ~TraceReplay();
    TraceReplay(const TraceReplay&) = delete;
    TraceReplay& operator=(const TraceReplay&) = delete;

    // Begins on the main queue; a second call does nothing. Destroying the replay stops it.
    void start();

    // Readable from any thread, for a progress line.
    std::size_t ingested() const;
    std::size_t total() const;
    bool finished() const;

private:
    struct State;
    std::shared_ptr<State> state_;
};

}  // namespace fenk
