#pragma once

#include "FenkSDK/ports/Dispatcher.h"
#include "FenkSDK/ports/UserNotifications.h"

#include <memory>
#include <string_view>
#include <vector>

namespace fenk {

// Notices a test can see and open: every request is recorded, and opening one hands its user information to
// the handler on `queue`, as a desktop does when the user clicks it.
class RecordingNotifications final : public UserNotifications {
public:
    explicit RecordingNotifications(std::shared_ptr<DispatchQueue> queue) : queue_(std::move(queue)) {}

    void add(NotificationRequest request) override { requests_.push_back(std::move(request)); }
    void setOpenedHandler(OpenedHandler handler) override;

    const std::vector<NotificationRequest>& requests() const { return requests_; }
    // False when no notice of that identifier was added.
    bool open(std::string_view identifier);

private:
    const std::shared_ptr<DispatchQueue> queue_;
    std::vector<NotificationRequest> requests_;
    // Shared with queued openings, which run the handler current when they run.
    std::shared_ptr<OpenedHandler> handler_ = std::make_shared<OpenedHandler>();
};

}  // namespace fenk
