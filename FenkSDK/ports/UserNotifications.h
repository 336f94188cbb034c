#pragma once

#include "FenkSDK/runtime/Data.h"

#include <functional>
#include <map>
#include <optional>
#include <string>

namespace fenk {

// A notice shown to the user now. The SDK decides when (its own timer) and what; the system only shows it.
struct NotificationRequest {
    // Unique per request; the system reports openings under it.
    std::string identifier;
    std::string title;
    // Text keys and values handed back when the user opens the notice.
    std::map<std::string, std::string> userInfo;
    // An image already checked to be PNG, JPEG, GIF or WebP; the system keeps it only while the notice lives.
    std::optional<Data> image;
};

// The system's notification service.
class UserNotifications {
public:
    // Receives the user information of a notice the user opened. Runs on the main queue.
    using OpenedHandler = std::function<void(const std::map<std::string, std::string>& userInfo)>;

    virtual ~UserNotifications() = default;
    // Shows the notice; a failure is printed to the console and otherwise ignored.
    virtual void add(NotificationRequest request) = 0;
    // The host's handler (it forwards the user information to handlePushNotification); replaces any earlier one.
    virtual void setOpenedHandler(OpenedHandler handler) = 0;
};

}  // namespace fenk
