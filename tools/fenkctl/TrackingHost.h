#pragma once

#include "FenkSDK/runtime/Environment.h"
#include "FenkSDK/runtime/NotificationCenter.h"
#include "tools/fenkctl/EventPrinter.h"

#include <atomic>
#include <vector>

namespace fenk {

// Installs the environment and acts as a host that registered with tracking on, relaunched by the system for
// a location event and brought to the foreground: the SDK starts tracking without asking the platform.
void launchAsTrackingHost(const Environment& environment);

// Counts what the location layer announces, and prints each position record as a line of plain output.
class LocationTally {
public:
    LocationTally(NotificationCenter& center, EventPrinter& printer);
    ~LocationTally();
    LocationTally(const LocationTally&) = delete;
    LocationTally& operator=(const LocationTally&) = delete;

    std::atomic<long> positions{0};
    std::atomic<long> visits{0};
    std::atomic<long> regionEntries{0};
    std::atomic<long> regionExits{0};

private:
    NotificationCenter& center_;
    std::vector<NotificationCenter::ObserverId> observers_;
};

}  // namespace fenk
