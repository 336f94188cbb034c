#pragma once

#include "FenkSDK/ports/Location.h"
#include "FenkSDK/ports/SecureStore.h"

#include <memory>
#include <vector>

namespace fenk {

// The monitored regions as they outlive the process: one JSON document in the secure store, rewritten whole
// on every change.
class PersistedRegions {
public:
    explicit PersistedRegions(std::shared_ptr<SecureStore> store);

    // What was kept; nothing, with a console line, when the stored document cannot be read. A stored region
    // the engine could not monitor is left out.
    std::vector<CircularRegion> load() const;
    // A failure leaves the previous document and a console line; the regions keep working in this process.
    void save(const std::vector<CircularRegion>& regions);

private:
    std::shared_ptr<SecureStore> store_;
};

}  // namespace fenk
