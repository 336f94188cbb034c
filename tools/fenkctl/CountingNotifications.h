#pragma once

#include "FenkSDK/ports/UserNotifications.h"

#include <atomic>
#include <memory>
#include <utility>

namespace fenk {

// Counts the notices the SDK raises and hands each to the service it wraps, if any (a host without a desktop
// session still learns how many notices it would have shown).
class CountingNotifications final : public UserNotifications {
public:
    explicit CountingNotifications(std::shared_ptr<UserNotifications> shown) : shown_(std::move(shown)) {}

    void add(NotificationRequest request) override {
        ++raised_;
        if (shown_) shown_->add(std::move(request));
    }
    void setOpenedHandler(OpenedHandler handler) override {
        if (shown_) shown_->setOpenedHandler(std::move(handler));
    }

    long raised() const { return raised_; }

private:
    const std::shared_ptr<UserNotifications> shown_;
    std::atomic<long> raised_{0};
};

}  // namespace fenk
