#include "FenkSDK/net/FenkReachability.h"

#include <array>

namespace fenk {
namespace {

using namespace ReachabilityFlag;


std::string describeFlags(ReachabilityFlags flags) {
    struct Mark {
        ReachabilityFlags bit;  // 0: a separator, always shown
        char letter;
    };
    static constexpr std::array<Mark, 10> marks{{
        {isWWAN, 'W'},
        {reachable, 'R'},
        {0, ' '},
        {connectionRequired, 'c'},
        {transientConnection, 't'},
        {interventionRequired, 'i'},
        {connectionOnTraffic, 'C'},
        {connectionOnDemand, 'D'},
        {isLocalAddress, 'l'},
        {isDirect, 'd'},
    }};
    std::string text;
    for (const auto& mark : marks) text += (mark.bit == 0 || (flags & mark.bit) != 0) ? mark.letter : '-';
    return text;
}

}  // namespace

ConnectionKind connectionKindOf(std::optional<ReachabilityFlags> flags, bool allowsCellularConnection) {
    if (!flags || (*flags & reachable) == 0) return ConnectionKind::unavailable;
    if ((*flags & isWWAN) != 0) {
        return allowsCellularConnection ? ConnectionKind::cellular : ConnectionKind::unavailable;
    }
    if ((*flags & connectionRequired) != 0) {
        // A link that must first be brought up counts only when the system brings it up by itself.
        const bool bringsUpByItself = (*flags & (connectionOnTraffic | connectionOnDemand)) != 0 &&
                                      (*flags & interventionRequired) == 0;
        if (!bringsUpByItself) return ConnectionKind::unavailable;
    }
    return ConnectionKind::wifi;
}

FenkReachability::Creation FenkReachability::create(std::shared_ptr<Reachability> reachability,
                                                    Dispatcher& dispatcher,
                                                    std::shared_ptr<NotificationCenter> notificationCenter,
                                                    QualityOfService qos,
                                                    std::shared_ptr<DispatchQueue> notificationQueue) {
    const auto address = SocketAddressIPv4::anyAddress();
    auto handle = reachability->createWithAddress(address);
    if (!handle) {
        return FenkReachabilityError{FenkReachabilityError::Case::failedToCreateWithAddress,
                                     reachability->lastErrorCode(), address};
    }
    return std::make_shared<FenkReachability>(Token{}, std::move(reachability), std::move(handle),
                                              dispatcher.makeSerialQueue(std::string(serialQueueLabel), qos),
                                              std::move(notificationCenter), std::move(notificationQueue));
}

FenkReachability::FenkReachability(Token, std::shared_ptr<Reachability> reachability,
                                   std::shared_ptr<ReachabilityHandle> handle,
                                   std::shared_ptr<DispatchQueue> serialQueue,
                                   std::shared_ptr<NotificationCenter> notificationCenter,
                                   std::shared_ptr<DispatchQueue> notificationQueue)
    : notificationCenter_(std::move(notificationCenter)),
      reachability_(std::move(reachability)),
      reachabilityRef_(std::move(handle)),
      serialQueue_(std::move(serialQueue)),
      notificationQueue_(std::move(notificationQueue)) {}

FenkReachability::~FenkReachability() { stopWatching(); }

std::optional<FenkReachabilityError> FenkReachability::startWatching() {
    if (notifierRunning_) return std::nullopt;

    auto onChange = [weakifier = FenkReachabilityWeakifier{weak_from_this()}](ReachabilityFlags flags) {
        if (const auto monitor = weakifier.monitor.lock()) monitor->flagsReported(flags);
    };
    if (!reachabilityRef_->setCallback(std::move(onChange))) {
        const auto error = failure(FenkReachabilityError::Case::unableToSetCallback);
        stopWatching();
        return error;
    }
    if (!reachabilityRef_->setDispatchQueue(serialQueue_)) {
        const auto error = failure(FenkReachabilityError::Case::unableToSetDispatchQueue);
        stopWatching();
        return error;
    }
    if (auto error = refreshFlags()) return error;
    notifierRunning_ = true;
    return std::nullopt;
}

void FenkReachability::stopWatching() {
    reachabilityRef_->setCallback({});
    reachabilityRef_->setDispatchQueue(nullptr);
    notifierRunning_ = false;
}

std::optional<FenkReachabilityError> FenkReachability::refreshFlags() {
    // Flags are written on the serial queue only, so a read never races a report.
    std::optional<FenkReachabilityError> error;
    serialQueue_->sync([&] { error = readFlagsOnSerialQueue(); });
    return error;
}

std::optional<FenkReachabilityError> FenkReachability::readFlagsOnSerialQueue() {
    const auto current = reachabilityRef_->flags();
    if (!current) {
        const auto error = failure(FenkReachabilityError::Case::unableToGetFlags);
        stopWatching();
        return error;
    }
    flagsReported(*current);
    return std::nullopt;
}

void FenkReachability::flagsReported(ReachabilityFlags flags) {
    if (storeFlags(flags)) announceChange();
}

bool FenkReachability::storeFlags(ReachabilityFlags flags) {
    std::lock_guard lock(flagsMutex_);
    const bool changed = flags_ != flags;
    flags_ = flags;
    return changed;
}

void FenkReachability::announceChange() {
    auto announce = [weakSelf = weak_from_this()] {
        const auto self = weakSelf.lock();
        if (!self) return;
        const auto kind = self->connectionKind();
        Callback callback;
        {
            std::lock_guard lock(self->callbacksMutex_);
            callback = kind != ConnectionKind::unavailable ? self->whenReachable_ : self->whenUnreachable_;
        }
        if (callback) callback(*self);
        self->notificationCenter_->post(FenkReachabilityChanged, self);
    };
    if (notificationQueue_) {
        notificationQueue_->async(std::move(announce));
    } else {
        announce();
    }
}

ConnectionKind FenkReachability::connectionKind() {
    if (!flags()) static_cast<void>(refreshFlags());
    return connectionKindOf(flags(), allowsCellularConnection_);
}

std::string FenkReachability::flagsText() const { return describeFlags(flags().value_or(0)); }

std::optional<ReachabilityFlags> FenkReachability::flags() const {
    std::lock_guard lock(flagsMutex_);
    return flags_;
}

void FenkReachability::setWhenReachable(Callback callback) {
    std::lock_guard lock(callbacksMutex_);
    whenReachable_ = std::move(callback);
}

void FenkReachability::setWhenUnreachable(Callback callback) {
    std::lock_guard lock(callbacksMutex_);
    whenUnreachable_ = std::move(callback);
}

FenkReachabilityError FenkReachability::failure(FenkReachabilityError::Case kind) const {
    return {kind, reachability_->lastErrorCode(), {}};
}

}  // namespace fenk
