#include "adapters/fake/RecordingNotifications.h"

#include <algorithm>

namespace fenk {

void RecordingNotifications::setOpenedHandler(OpenedHandler handler) { *handler_ = std::move(handler); }

bool RecordingNotifications::open(std::string_view identifier) {
    const auto request = std::find_if(requests_.begin(), requests_.end(),
                                      [&](const NotificationRequest& each) { return each.identifier == identifier; });
    if (request == requests_.end()) return false;
    queue_->async([handler = std::weak_ptr(handler_), userInfo = request->userInfo] {
        if (const auto opened = handler.lock(); opened && *opened) (*opened)(userInfo);
    });
    return true;
}

}  // namespace fenk
