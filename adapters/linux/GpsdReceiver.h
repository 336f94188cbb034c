#pragma once

#include "FenkSDK/location/LocationFix.h"
#include "FenkSDK/ports/Clock.h"
#include "FenkSDK/ports/Dispatcher.h"
#include "adapters/linux/StoppableThread.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct gps_fix_t;

namespace fenk {

// How long the receiver waits before connecting again: `first` after the first failure, doubling up to
// `longest`. A connection that brought a message from gpsd starts the count over.
struct GpsdRetry {
    Duration first = std::chrono::seconds{1};
    Duration longest = std::chrono::seconds{30};
};

// Reads the fixes of a gpsd daemon on a thread of its own and posts each new one (2D or better, with a
// valid position) to `onFix` on `queue`. It connects again, with back-off, whenever gpsd is absent or the
// connection drops, and says so on the console once per outage. Destroying it stops and joins the thread
// at once; fixes it posted before then are dropped when it was destroyed on `queue` itself.
class GpsdReceiver {
public:
    using FixHandler = std::function<void(const LocationFix&)>;

    // Null, with errno set, when the thread or its wake-up descriptor cannot be made.
    static std::unique_ptr<GpsdReceiver> start(std::string host, std::string port,
                                               std::shared_ptr<DispatchQueue> queue, FixHandler onFix,
                                               GpsdRetry retry = {});

    GpsdReceiver(std::string host, std::string port, std::shared_ptr<DispatchQueue> queue, FixHandler onFix,
                 GpsdRetry retry);

private:
    enum class SessionEnd { stopped, failed, lost };

    void run(const StoppableThread& thread);
    SessionEnd session(const StoppableThread& thread);
    void deliver(const gps_fix_t& fix);
    void reportOutage(std::string_view what);

    const std::string host_;
    const std::string port_;
    const std::shared_ptr<DispatchQueue> queue_;
    // Held here only; queued deliveries see it gone once the receiver is destroyed.
    std::shared_ptr<const FixHandler> onFix_;
    const GpsdRetry retry_;
    // Touched by the reader thread only.
    std::optional<Timestamp> lastDelivered_;
    bool outageReported_ = false;
    std::unique_ptr<StoppableThread> thread_;
};

// The fix gpsd reported as the SDK holds it; absent without a 2D or 3D position inside the valid range or
// a time. Values gpsd does not know stay NaN; a 2D fix has no altitude.
std::optional<LocationFix> locationFixFromGpsd(const gps_fix_t& fix);

}  // namespace fenk
