#include "adapters/linux/NetlinkReachability.h"

#include "FenkSDK/net/ReachabilitySubscription.h"
#include "adapters/linux/NetlinkSocket.h"
#include "adapters/linux/NetlinkWatcher.h"
#include "adapters/linux/RoutingSnapshot.h"

#include <linux/rtnetlink.h>

#include <array>
#include <cerrno>
#include <mutex>

namespace fenk {
namespace {

using LastError = std::atomic<std::int32_t>;

constexpr std::array<unsigned, 3> watchedGroups{RTNLGRP_LINK, RTNLGRP_IPV4_ROUTE, RTNLGRP_IPV6_ROUTE};
// A dump overtaken by a change is read again, a few times at most.
constexpr int dumpAttempts = 3;

class NetlinkReachabilityHandle final : public ReachabilityHandle {
public:
    NetlinkReachabilityHandle(NetlinkSocket query, NetlinkSocket events, std::shared_ptr<LastError> lastError)
        : lastError_(std::move(lastError)), query_(std::move(query)), events_(std::move(events)) {}

    ~NetlinkReachabilityHandle() override {
        // The watcher's thread uses the members below; it must end before they do.
        std::lock_guard lock(controlMutex_);
        watcher_.reset();
    }

    // A failed read answers the last flags read, when there are any: one slow or failed question is no
    // reason to report the network gone.
    std::optional<ReachabilityFlags> flags() override {
        std::lock_guard lock(queryMutex_);
        int error = EAGAIN;
        for (int attempt = 0; attempt < dumpAttempts && error == EAGAIN; ++attempt) {
            RoutingSnapshot snapshot;
            error = query_.dump(RTM_GETLINK, ifinfomsg{},
                                [&](const nlmsghdr& message) { snapshot.addLink(message); });
            if (error == 0) {
                error = query_.dump(RTM_GETROUTE, rtmsg{},
                                    [&](const nlmsghdr& message) { snapshot.addRoute(message); });
            }
            if (error == 0) return lastKnown_ = snapshot.reachabilityFlags();
        }
        *lastError_ = error;
        return lastKnown_;
    }

    bool setCallback(Callback callback) override {
        std::lock_guard lock(controlMutex_);
        subscription_.setCallback(std::move(callback));
        if (watchWhileSubscribed()) return true;
        subscription_.setCallback({});
        return false;
    }

    bool setDispatchQueue(std::shared_ptr<DispatchQueue> queue) override {
        std::lock_guard lock(controlMutex_);
        subscription_.setQueue(std::move(queue));
        if (watchWhileSubscribed()) return true;
        subscription_.setQueue(nullptr);
        return false;
    }

private:
    // Starts or stops watching to match the subscription; the caller holds controlMutex_.
    bool watchWhileSubscribed() {
        const bool wanted = subscription_.isActive();
        if (wanted == (watcher_ != nullptr)) return true;
        if (!wanted) {
            watcher_.reset();
            setMembership(false);
            return true;
        }
        if (const int error = setMembership(true)) return fail(error);
        events_.discardPending();  // left over from an earlier watch
        watcher_ = NetlinkWatcher::start(events_, [this] {
            if (const auto current = flags()) subscription_.deliver(*current);
        });
        return watcher_ != nullptr || fail(errno);
    }

    int setMembership(bool member) {
        int firstError = 0;
        for (const unsigned group : watchedGroups) {
            const int error = events_.setMembership(group, member);
            if (firstError == 0) firstError = error;
        }
        return firstError;
    }

    bool fail(int error) {
        setMembership(false);
        *lastError_ = error;
        return false;
    }

    std::shared_ptr<LastError> lastError_;
    std::mutex queryMutex_;
    NetlinkSocket query_;
    std::optional<ReachabilityFlags> lastKnown_;  // guarded by queryMutex_
    std::mutex controlMutex_;
    NetlinkSocket events_;
    ReachabilitySubscription subscription_;
    std::unique_ptr<NetlinkWatcher> watcher_;
};

}  // namespace

std::shared_ptr<ReachabilityHandle> NetlinkReachability::createWithAddress(const SocketAddressIPv4& address) {
    if (address != SocketAddressIPv4::anyAddress()) {
        *lastError_ = EINVAL;
        return nullptr;
    }
    // Both sockets are opened here so that they belong to the caller's network namespace.
    auto query = NetlinkSocket::open();
    auto events = NetlinkSocket::open();
    for (const auto* failed : {std::get_if<int>(&query), std::get_if<int>(&events)}) {
        if (failed != nullptr) {
            *lastError_ = *failed;
            return nullptr;
        }
    }
    return std::make_shared<NetlinkReachabilityHandle>(std::get<NetlinkSocket>(std::move(query)),
                                                       std::get<NetlinkSocket>(std::move(events)), lastError_);
}

std::int32_t NetlinkReachability::lastErrorCode() const { return *lastError_; }

}  // namespace fenk
