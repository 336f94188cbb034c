#pragma once

#include "FenkSDK/ports/UserNotifications.h"

#include <vector>

namespace fenk {

// Keeps every notice it is asked to show. For the fake dispatcher's single thread.
class ShownNotices final : public UserNotifications {
public:
    void add(NotificationRequest request) override { shown.push_back(std::move(request)); }
    void setOpenedHandler(OpenedHandler) override {}

    std::vector<NotificationRequest> shown;
};

}  // namespace fenk
