#pragma once

#include "FenkSDK/ports/Reachability.h"

#include <cstdint>
#include <memory>
#include <mutex>

namespace fenk {

// The callback and queue of one reachability handle, shared by every adapter so that all keep the same
// promise: a report runs on the attached queue, and not at all once the callback or the queue was replaced
// or removed, even when it was already queued. Safe from any thread.
class ReachabilitySubscription {
public:
    void setCallback(ReachabilityHandle::Callback callback);
    void setQueue(std::shared_ptr<DispatchQueue> queue);
    // True while a callback is installed and a queue attached.
    bool isActive() const;
    // Queues the report for the callback; does nothing while inactive.
    void deliver(ReachabilityFlags flags) const;

private:
    struct State {
        std::mutex mutex;
        ReachabilityHandle::Callback callback;
        std::shared_ptr<DispatchQueue> queue;
        // Moves on every change, so a queued report can tell that it was overtaken.
        std::uint64_t generation = 0;
    };

    std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace fenk
