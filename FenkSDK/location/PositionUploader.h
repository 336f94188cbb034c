#pragma once

#include "FenkSDK/location/StoredLocation.h"
#include "FenkSDK/location/UploadQueue.h"
#include "FenkSDK/net/FenkReachability.h"
#include "FenkSDK/registration/AuthenticationSession.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace fenk {

class DispatchQueue;
class NotificationCenter;
class Preferences;

// Delivers positions to the platform at least once and in order: each goes into the upload queue first and
// leaves it only when the platform answered. Sends one at a time; after a failure (no reply, 5xx, 408, 429) it
// tries once more at once, then waits from about 30 seconds up to 15 minutes, jittered, between tries while
// the platform keeps failing. Offline it waits for the link to come back. Runs on the position queue.
class PositionUploader : public std::enable_shared_from_this<PositionUploader> {
public:
    struct Collaborators {
        std::shared_ptr<DispatchQueue> positionsQueue;
        std::shared_ptr<Preferences> preferences;
        std::shared_ptr<NotificationCenter> notificationCenter;
        std::shared_ptr<const Clock> clock;
        AuthenticationSession session;
        PlatformTransport transport;
        std::function<bool()> isConnected;
        // The link the device is on now, none when unknown.
        std::function<std::optional<ConnectionKind>()> link;
        // The place tag of the stay analysis for a record about to be uploaded.
        std::function<std::optional<std::string>(const StoredLocation&)> placeTag;
        std::uint32_t jitterSeed = 0;
    };
    struct Statistics {
        std::atomic<std::uint64_t> uploaded{0};
        // Uploads of positions that had to wait: a try failed, or they were queued while nothing could go out.
        std::atomic<std::uint64_t> resent{0};
    };

    static constexpr std::chrono::seconds kFirstBackOff{30};
    static constexpr std::chrono::minutes kLongestBackOff{15};

    PositionUploader(Collaborators collaborators, std::unique_ptr<UploadQueue> queue);

    // Position queue: takes over the list earlier versions kept in the settings, then sends what waits.
    void adoptStoredList();
    // Position queue: queues the records in one commit (as they are now: later changes to the caller's copies
    // never reach the upload) and sends what waits.
    void send(const std::vector<StoredLocation>& records);
    // Any thread: sends what waits, as soon as the position queue is free. Called when the link returns.
    void resend();

    std::size_t waiting() const;
    const Statistics& statistics() const { return statistics_; }

private:
    struct Reply {
        std::optional<Data> body;
        std::optional<HttpResponse> response;
    };

    void pump();
    void upload(const UploadQueue::Queued& queued, const std::string& resourceId);
    void finish(const UploadQueue::Queued& queued, const Reply& reply);
    void retryLater();
    Duration backOff();

    Collaborators ports_;
    std::unique_ptr<UploadQueue> queue_;
    // Only touched on the position queue.
    std::set<std::int64_t> inFlight_;
    // Everything queued by then waited: for the link, the registration or a platform that failed.
    SystemTime lastDeferral_{};
    unsigned consecutiveFailures_ = 0;
    bool retryArmed_ = false;
    std::minstd_rand jitter_;
    Statistics statistics_;
};

}  // namespace fenk
