#pragma once

#include "FenkSDK/runtime/NotificationCenter.h"

#include <memory>
#include <string_view>
#include <vector>

namespace fenk {

// Collects what is posted under the given names for the lifetime of the object, in order. For tests that
// post from their own thread.
class PostedNotifications {
public:
    PostedNotifications(std::shared_ptr<NotificationCenter> center, std::initializer_list<std::string_view> names)
        : center_(std::move(center)) {
        for (const auto name : names) {
            ids_.push_back(center_->addObserver(name, nullptr, [this](const Notification& note) { posted_.push_back(note); }));
        }
    }
    ~PostedNotifications() {
        for (const auto id : ids_) center_->removeObserver(id);
    }
    PostedNotifications(const PostedNotifications&) = delete;
    PostedNotifications& operator=(const PostedNotifications&) = delete;

    const std::vector<Notification>& all() const { return posted_; }

private:
    std::shared_ptr<NotificationCenter> center_;
    std::vector<NotificationCenter::ObserverId> ids_;
    std::vector<Notification> posted_;
};

}  // namespace fenk
