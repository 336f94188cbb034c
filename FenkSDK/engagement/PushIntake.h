#pragma once

#include "FenkSDK/engagement/FenkPushNotification.h"
#include "FenkSDK/runtime/NotificationCenter.h"

#include <any>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace fenk {

class Application;
class Device;
class DispatchQueue;
class Preferences;

// Posted each time push content is handed over to be shown, at once or at an activation, whether or not a
// window shows it; its user information holds the content's type under "gType".
inline constexpr std::string_view kPushContentPresented = "FENK_PUSH_PRESENTED";

// Decides, from a push payload alone, what the SDK does with it:
//   - a link payload ("gType" "d2s-notification") opens its "d2s-link-url" when that is a well-formed web
//     address, and nothing else happens with it;
//   - a payload with a type and an "aps" block is shown at once, unless it is silent ("content-available" a
//     number whose value is true): a silent one is dropped while the application is active and kept in the
//     pending list otherwise, to be shown one per activation, oldest first;
//   - anything else, and anything that is not a push payload (not JSON, too large, too deep), is ignored.
// Every call is made on the main queue, where the content is shown.
class PushIntake : public std::enable_shared_from_this<PushIntake> {
public:
    struct Collaborators {
        std::shared_ptr<Preferences> preferences;
        std::shared_ptr<Application> application;
        std::shared_ptr<Device> device;
        std::shared_ptr<DispatchQueue> mainQueue;
        // Where FENK_PUSH_PRESENTED is posted.
        std::shared_ptr<NotificationCenter> notificationCenter;
        std::function<void(const FenkPushNotification&)> presentContent;
        // Gets well-formed http(s) addresses only.
        std::function<void(const std::string& link)> openWebPage;
    };

    // Before version 10 the system does not hand the launching payload to the host: it is taken from the
    // launch options this long after the launch.
    static constexpr auto kLaunchPayloadDelay = std::chrono::seconds(3);

    explicit PushIntake(Collaborators collaborators);

    void handlePushNotification(const UserInfo& payload);
    // The payload as JSON text; text that is not one is ignored with a console line.
    void handlePushNotificationJson(std::string_view json);
    // The process was launched from this remote notification (as the launch options hold it).
    void launchedFromNotification(const std::any& payload);
    // Shows the oldest pending content, if any.
    void showPendingNotification();

private:
    void present(const FenkPushNotification& notification) const;

    Collaborators collaborators_;
};

}  // namespace fenk
