#pragma once

#include "FenkSDK/ports/Clock.h"
#include "FenkSDK/ports/UserNotifications.h"

#include <memory>
#include <utility>
#include <vector>

namespace fenk {

// The device's notification service in a replay: keeps each notice the SDK raises with the (virtual) time it came.
class NoticeLog final : public UserNotifications {
public:
    struct Entry {
        SystemTime time;
        NotificationRequest request;
    };

    explicit NoticeLog(std::shared_ptr<const Clock> clock) : clock_(std::move(clock)) {}

    void add(NotificationRequest request) override { entries_.push_back({clock_->now(), std::move(request)}); }
    void setOpenedHandler(OpenedHandler) override {}

    const std::vector<Entry>& entries() const { return entries_; }

private:
    const std::shared_ptr<const Clock> clock_;
    std::vector<Entry> entries_;
};

}  // namespace fenk
