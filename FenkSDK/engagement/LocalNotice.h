#pragma once

#include "FenkSDK/ports/Clock.h"

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

namespace fenk {

class DispatchQueue;
class Http;
class UserNotifications;

// Raises the notice a nearby place carries (a text, an image link and a link) as a notification to the user,
// 15 seconds after it is asked for.
//
// The notice's title is the message (empty without one). Only a link that may be opened (http or https with a
// host) gives the notice user information, the keys of a link push payload ("gType" = "d2s-notification",
// "d2s-link-url", and "d2s-message" / "d2s-icon" when given), so that the host forwarding an opened notice
// to the manager opens the link. Without such a link the notice carries none.
//
// The image is downloaded through Http while the 15 seconds run (http and https only, with a time-out and a
// size limit) and kept only when it is a PNG, JPEG, GIF or WebP image; otherwise "Unable to load data: " and
// the reason go to the console and the notice goes without it. A download still running when the 15 seconds
// are up holds the notice back until it ends (at the latest when its time-out fails it): the notice then
// appears at once, with its image when one came.
//
// Without a notification service (nullptr) nothing happens. Safe to call from any thread; the notice is
// added from a task of `queue`, and once scheduled it appears even if this object is destroyed first, as a
// notice handed to the system would.
class LocalNotice {
public:
    static constexpr Duration kDelay = std::chrono::seconds(15);
    static constexpr std::chrono::milliseconds kImageTimeout = std::chrono::seconds(30);
    static constexpr std::size_t kMaxImageBytes = 10 * 1024 * 1024;

    LocalNotice(std::shared_ptr<UserNotifications> notifications, std::shared_ptr<Http> http,
                std::shared_ptr<DispatchQueue> queue);

    void scheduleLocalNotification(const std::optional<std::string>& message,
                                   const std::optional<std::string>& iconLink,
                                   const std::optional<std::string>& link) const;

private:
    std::shared_ptr<UserNotifications> notifications_;
    std::shared_ptr<Http> http_;
    std::shared_ptr<DispatchQueue> queue_;
};

}  // namespace fenk
