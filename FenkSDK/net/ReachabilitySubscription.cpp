#include "FenkSDK/net/ReachabilitySubscription.h"

namespace fenk {

void ReachabilitySubscription::setCallback(ReachabilityHandle::Callback callback) {
    std::lock_guard lock(state_->mutex);
    state_->callback = std::move(callback);
    ++state_->generation;
}

void ReachabilitySubscription::setQueue(std::shared_ptr<DispatchQueue> queue) {
    std::lock_guard lock(state_->mutex);
    state_->queue = std::move(queue);
    ++state_->generation;
}

bool ReachabilitySubscription::isActive() const {
    std::lock_guard lock(state_->mutex);
    return state_->callback && state_->queue;
}

void ReachabilitySubscription::deliver(ReachabilityFlags flags) const {
    std::shared_ptr<DispatchQueue> queue;
    std::uint64_t generation = 0;
    {
        std::lock_guard lock(state_->mutex);
        if (!state_->callback || !state_->queue) return;
        queue = state_->queue;
        generation = state_->generation;
    }
    // The queued report holds the state weakly: a handle released meanwhile reports nothing.
    queue->async([weakState = std::weak_ptr<State>(state_), generation, flags] {
        const auto state = weakState.lock();
        if (!state) return;
        ReachabilityHandle::Callback callback;
        {
            std::lock_guard lock(state->mutex);
            if (state->generation != generation) return;
            callback = state->callback;
        }
        callback(flags);
    });
}

}  // namespace fenk
