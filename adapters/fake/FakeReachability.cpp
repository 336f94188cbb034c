#include "adapters/fake/FakeReachability.h"

#include "FenkSDK/net/ReachabilitySubscription.h"

#include <mutex>
#include <set>

namespace fenk {

struct FakeReachability::Network {
    mutable std::mutex mutex;
    ReachabilityFlags flags;
    std::set<FakeReachabilityFault> refused;
    std::int32_t errorCode = 0;
    std::int32_t lastErrorCode = 0;
    std::vector<std::weak_ptr<ReachabilitySubscription>> subscriptions;

    // Answers whether the operation may go ahead, recording the error code when it may not.
    bool permits(FakeReachabilityFault fault) {
        std::lock_guard lock(mutex);
        if (!refused.contains(fault)) return true;
        lastErrorCode = errorCode;
        return false;
    }
};

namespace {

class FakeReachabilityHandle final : public ReachabilityHandle {
public:
    FakeReachabilityHandle(std::shared_ptr<FakeReachability::Network> network,
                           std::shared_ptr<ReachabilitySubscription> subscription)
        : network_(std::move(network)), subscription_(std::move(subscription)) {}

    std::optional<ReachabilityFlags> flags() override {
        if (!network_->permits(FakeReachabilityFault::flagRead)) return std::nullopt;
        std::lock_guard lock(network_->mutex);
        return network_->flags;
    }

    bool setCallback(Callback callback) override {
        // Removing never fails, so that a monitor can always be stopped.
        if (callback && !network_->permits(FakeReachabilityFault::callback)) return false;
        subscription_->setCallback(std::move(callback));
        return true;
    }

    bool setDispatchQueue(std::shared_ptr<DispatchQueue> queue) override {
        if (queue && !network_->permits(FakeReachabilityFault::queue)) return false;
        subscription_->setQueue(std::move(queue));
        return true;
    }

private:
    std::shared_ptr<FakeReachability::Network> network_;
    std::shared_ptr<ReachabilitySubscription> subscription_;
};

}  // namespace

FakeReachability::FakeReachability(ReachabilityFlags initial) : network_(std::make_shared<Network>()) {
    network_->flags = initial;
}

std::shared_ptr<ReachabilityHandle> FakeReachability::createWithAddress(const SocketAddressIPv4&) {
    if (!network_->permits(FakeReachabilityFault::creation)) return nullptr;
    auto subscription = std::make_shared<ReachabilitySubscription>();
    {
        std::lock_guard lock(network_->mutex);
        std::erase_if(network_->subscriptions, [](const auto& weak) { return weak.expired(); });
        network_->subscriptions.push_back(subscription);
    }
    return std::make_shared<FakeReachabilityHandle>(network_, std::move(subscription));
}

std::int32_t FakeReachability::lastErrorCode() const {
    std::lock_guard lock(network_->mutex);
    return network_->lastErrorCode;
}

void FakeReachability::report(ReachabilityFlags flags) {
    std::vector<std::shared_ptr<ReachabilitySubscription>> live;
    {
        std::lock_guard lock(network_->mutex);
        network_->flags = flags;
        for (const auto& weak : network_->subscriptions) {
            if (auto subscription = weak.lock()) live.push_back(std::move(subscription));
        }
    }
    for (const auto& subscription : live) subscription->deliver(flags);
}

void FakeReachability::flap(const std::vector<ReachabilityFlags>& sequence) {
    for (const auto flags : sequence) report(flags);
}

void FakeReachability::refuse(FakeReachabilityFault fault, std::int32_t errorCode) {
    std::lock_guard lock(network_->mutex);
    network_->refused.insert(fault);
    network_->errorCode = errorCode;
}

void FakeReachability::allow(FakeReachabilityFault fault) {
    std::lock_guard lock(network_->mutex);
    network_->refused.erase(fault);
}

}  // namespace fenk
