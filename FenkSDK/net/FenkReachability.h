#pragma once

#include "FenkSDK/net/FenkReachabilityError.h"
#include "FenkSDK/ports/Dispatcher.h"
#include "FenkSDK/ports/Reachability.h"
#include "FenkSDK/runtime/NotificationCenter.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace fenk {

// Posted on every change with the monitor as the object.
inline constexpr std::string_view FenkReachabilityChanged = "FenkReachabilityChanged";
// Published for hosts that look for it; nothing posts it.
inline constexpr std::string_view FenkReachabilityChangedNotification = "FenkReachabilityChangedNotification";

enum class ConnectionKind { unavailable, wifi, cellular };

// The kind of link the flags describe; unavailable when there are none.
ConnectionKind connectionKindOf(std::optional<ReachabilityFlags> flags, bool allowsCellularConnection);

class FenkReachability;

// What the system's callback holds: a weak reference, so that the system never keeps a monitor alive.
struct FenkReachabilityWeakifier {
    std::weak_ptr<FenkReachability> monitor;
};

// Tells whether the internet can be reached and over which kind of link, and announces every change on
// the notification centre. Safe to use from any thread, except that connectionKind() must not be called
// on the monitor's serial queue before the first flags were read.
class FenkReachability : public std::enable_shared_from_this<FenkReachability> {
    struct Token {};

public:
    using Callback = std::function<void(FenkReachability&)>;
    using Creation = std::variant<std::shared_ptr<FenkReachability>, FenkReachabilityError>;

    static constexpr std::string_view serialQueueLabel = "com.fenk.FenkReachability";
    // Kept for hosts that read them; the monitor does not consult them.
    static constexpr bool reachableOnWWAN = true;
    static constexpr bool isRunningOnDevice = true;

    // A monitor of the general internet address (0.0.0.0). Announcements run on `notificationQueue`, or
    // on the thread that noticed the change when it is null. Fails when the system gives no handle.
    static Creation create(std::shared_ptr<Reachability> reachability, Dispatcher& dispatcher,
                           std::shared_ptr<NotificationCenter> notificationCenter, QualityOfService qos,
                           std::shared_ptr<DispatchQueue> notificationQueue);

    FenkReachability(Token, std::shared_ptr<Reachability> reachability, std::shared_ptr<ReachabilityHandle> handle,
                     std::shared_ptr<DispatchQueue> serialQueue, std::shared_ptr<NotificationCenter> notificationCenter,
                     std::shared_ptr<DispatchQueue> notificationQueue);
    ~FenkReachability();
    FenkReachability(const FenkReachability&) = delete;
    FenkReachability& operator=(const FenkReachability&) = delete;

    // Follows changes from now on. Starting a running monitor does nothing; a failure leaves it idle.
    [[nodiscard]] std::optional<FenkReachabilityError> startWatching();
    void stopWatching();
    // Reads the flags now, announcing when they changed; a failure also stops watching.
    [[nodiscard]] std::optional<FenkReachabilityError> refreshFlags();

    // Reads the flags first when none were read yet; unreadable flags count as unavailable.
    ConnectionKind connectionKind();
    // Ten characters, one per flag ("WR -------" for reachable over cellular).
    std::string flagsText() const;

    std::optional<ReachabilityFlags> flags() const;
    bool notifierRunning() const { return notifierRunning_; }
    // When false, a cellular link counts as unavailable.
    bool allowsCellularConnection() const { return allowsCellularConnection_; }
    void setAllowsCellularConnection(bool allows) { allowsCellularConnection_ = allows; }
    // Called on each announcement whose connection kind is not unavailable, and on each one whose kind is.
    void setWhenReachable(Callback callback);
    void setWhenUnreachable(Callback callback);

private:
    // On the serial queue: the flags every read or report goes through.
    std::optional<FenkReachabilityError> readFlagsOnSerialQueue();
    void flagsReported(ReachabilityFlags flags);
    // Stores the flags and answers whether they differ from the previous ones (or there were none).
    bool storeFlags(ReachabilityFlags flags);
    void announceChange();
    FenkReachabilityError failure(FenkReachabilityError::Case kind) const;

    mutable std::mutex callbacksMutex_;
    Callback whenReachable_;
    Callback whenUnreachable_;
    std::atomic<bool> allowsCellularConnection_{true};
    std::shared_ptr<NotificationCenter> notificationCenter_;
    std::atomic<bool> notifierRunning_{false};
    std::shared_ptr<Reachability> reachability_;
    std::shared_ptr<ReachabilityHandle> reachabilityRef_;
    std::shared_ptr<DispatchQueue> serialQueue_;
    std::shared_ptr<DispatchQueue> notificationQueue_;
    mutable std::mutex flagsMutex_;
    std::optional<ReachabilityFlags> flags_;
};

}  // namespace fenk
