#include "adapters/linux/GpsdReceiver.h"

#include "FenkSDK/runtime/Console.h"

#include <fcntl.h>
#include <gps.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <limits>

namespace fenk {
namespace {

// 2001-01-01T00:00:00Z in Unix seconds, where Timestamp counts from.
constexpr double kReferenceDateUnixSeconds = 978'307'200.0;

// A connection to gpsd, closed however the session ends.
struct Connection {
    Connection(const std::string& host, const std::string& port)
        : open(gps_open(host.c_str(), port.c_str(), &data) == 0) {}
    ~Connection() {
        if (open) gps_close(&data);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    gps_data_t data{};
    const bool open;
};

std::optional<Timestamp> timestampFromGpsd(const timespec_t& time) {
    return timestampFromSecondsSinceReferenceDate(static_cast<double>(time.tv_sec) - kReferenceDateUnixSeconds +
                                                  static_cast<double>(time.tv_nsec) * 1e-9);
}

}  // namespace

std::optional<LocationFix> locationFixFromGpsd(const gps_fix_t& fix) {
    if (fix.mode != MODE_2D && fix.mode != MODE_3D) return std::nullopt;
    const LocationCoordinate2D coordinate{fix.latitude, fix.longitude};
    if (!isValidCoordinate(coordinate)) return std::nullopt;
    const auto timestamp = timestampFromGpsd(fix.time);
    // gpsd reports no time as the Unix epoch; a fix without one cannot be ordered or told from the last.
    if (!timestamp || (fix.time.tv_sec == 0 && fix.time.tv_nsec == 0)) return std::nullopt;
    const bool threeDimensional = fix.mode == MODE_3D;
    const double unknown = std::numeric_limits<double>::quiet_NaN();
    return LocationFix{
        .coordinate = coordinate,
        .altitude = threeDimensional ? fix.altMSL : unknown,
        .horizontalAccuracy = std::isfinite(fix.eph) ? fix.eph : std::hypot(fix.epx, fix.epy),
        .verticalAccuracy = threeDimensional ? fix.epv : unknown,
        .speed = fix.speed,
        .course = fix.track,
        .timestamp = *timestamp,
    };
}

std::unique_ptr<GpsdReceiver> GpsdReceiver::start(std::string host, std::string port,
                                                  std::shared_ptr<DispatchQueue> queue, FixHandler onFix,
                                                  GpsdRetry retry) {
    auto receiver =
        std::make_unique<GpsdReceiver>(std::move(host), std::move(port), std::move(queue), std::move(onFix), retry);
    receiver->thread_ =
        StoppableThread::start([self = receiver.get()](const StoppableThread& thread) { self->run(thread); });
    return receiver->thread_ ? std::move(receiver) : nullptr;
}

GpsdReceiver::GpsdReceiver(std::string host, std::string port, std::shared_ptr<DispatchQueue> queue,
                           FixHandler onFix, GpsdRetry retry)
    : host_(std::move(host)),
      port_(std::move(port)),
      queue_(std::move(queue)),
      onFix_(std::make_shared<const FixHandler>(std::move(onFix))),
      retry_(retry) {}

void GpsdReceiver::run(const StoppableThread& thread) {
    Duration delay = retry_.first;
    for (SessionEnd end; (end = session(thread)) != SessionEnd::stopped;) {
        if (end == SessionEnd::lost) delay = retry_.first;
        const auto milliseconds = std::chrono::ceil<std::chrono::milliseconds>(delay).count();
        if (thread.wait(-1, static_cast<int>(std::min<std::int64_t>(milliseconds, INT32_MAX))) != Wake::timeout) return;
        delay = std::min(delay * 2, retry_.longest);
    }
}

GpsdReceiver::SessionEnd GpsdReceiver::session(const StoppableThread& thread) {
    const std::string where = "gpsd at " + host_ + ":" + port_;
    Connection connection(host_, port_);
    if (!connection.open) {
        reportOutage("Cannot connect to " + where + ": " + gps_errstr(errno));
        return SessionEnd::failed;
    }
    bool heard = false;
    const int fd = connection.data.gps_fd;
    // A read then answers 0 instead of blocking while only part of a message has come.
    const bool nonBlocking = ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK) == 0;
    if (nonBlocking && gps_stream(&connection.data, WATCH_ENABLE | WATCH_JSON, nullptr) == 0) {
        // After a whole message, libgps may hold more it read along with it. gps_waiting() would not tell:
        // it also answers true for part of one, and waiting on it would spin until the rest came.
        for (bool mayHoldMore = false;;) {
            if (!mayHoldMore && thread.wait(fd, -1) == Wake::stop) return SessionEnd::stopped;
            const int read = gps_read(&connection.data, nullptr, 0);
            if (read < 0) break;
            mayHoldMore = read > 0;
            if (read == 0) continue;
            heard = true;
            outageReported_ = false;
            if ((connection.data.set & MODE_SET) != 0) deliver(connection.data.fix);
        }
    }
    reportOutage((heard ? "Lost the connection to " : "No answer from ") + where);
    return heard ? SessionEnd::lost : SessionEnd::failed;
}

void GpsdReceiver::deliver(const gps_fix_t& fix) {
    const auto location = locationFixFromGpsd(fix);
    // gpsd reports a fix again, for example when a later sentence of the same second completes it.
    if (!location || location->timestamp == lastDelivered_) return;
    lastDelivered_ = location->timestamp;
    queue_->async([handler = std::weak_ptr(onFix_), location = *location] {
        if (const auto onFix = handler.lock()) (*onFix)(location);
    });
}

void GpsdReceiver::reportOutage(std::string_view what) {
    if (outageReported_) return;
    outageReported_ = true;
    Console::print(std::string(what) + "; trying again in the background");
}

}  // namespace fenk
