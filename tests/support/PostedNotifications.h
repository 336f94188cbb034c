#pragma once

#include "FenkSDK/runtime/NotificationCenter.h"

#include <memory>
#include <string_view>
#include <vector>

namespace fenk {

// Collects, in order, what is posted under the given names while the object lives. Not thread-safe: for
// tests whose posts all happen on the test thread.
class PostedNotifications {
public:
    PostedNotifications(std::shared_ptr<NotificationCenter> center, std::initializer_list<std::string_view> names)
        : center_(std::move(center)) {
        for (const auto name : names) {
            ids_.push_back(center_->addObserver(name, nullptr, [this](const Notification& note) { all_.push_back(note); }));
        }
    }
    ~PostedNotifications() {
        for (const auto id : ids_) center_->removeObserver(id);
    }
    PostedNotifications(const PostedNotifications&) = delete;
    PostedNotifications& operator=(const PostedNotifications&) = delete;

    const std::vector<Notification>& all() const { return all_; }

private:
    std::shared_ptr<NotificationCenter> center_;
    std::vector<NotificationCenter::ObserverId> ids_;
    std::vector<Notification> all_;
};

}  // namespace fenk
