#pragma once

#include "FenkSDK/runtime/NotificationCenter.h"

#include <memory>
#include <string_view>

namespace fenk {

// Application-lifecycle notifications, posted on the environment's notification centre.
inline constexpr std::string_view ApplicationDidFinishLaunchingNotification = "ApplicationDidFinishLaunchingNotification";
inline constexpr std::string_view ApplicationWillResignActiveNotification = "ApplicationWillResignActiveNotification";
inline constexpr std::string_view ApplicationWillEnterForegroundNotification = "ApplicationWillEnterForegroundNotification";
inline constexpr std::string_view ApplicationDidBecomeActiveNotification = "ApplicationDidBecomeActiveNotification";

// Launch options (user information of the did-finish-launching notification).
inline constexpr std::string_view ApplicationLaunchOptionsLocationKey = "ApplicationLaunchOptionsLocationKey";
inline constexpr std::string_view ApplicationLaunchOptionsRemoteNotificationKey = "ApplicationLaunchOptionsRemoteNotificationKey";

// The host application as the SDK sees it. The host announces its lifecycle here, and the SDK observes the
// resulting notifications like any other.
class Application {
public:
    explicit Application(std::shared_ptr<NotificationCenter> notificationCenter)
        : notificationCenter_(std::move(notificationCenter)) {}
    virtual ~Application() = default;

    void didFinishLaunching(UserInfo launchOptions = {}) const {
        notificationCenter_->post(ApplicationDidFinishLaunchingNotification, std::move(launchOptions));
    }
    void willResignActive() const { notificationCenter_->post(ApplicationWillResignActiveNotification); }
    void willEnterForeground() const {
        notificationCenter_->post(ApplicationWillEnterForegroundNotification);
    }
    void didBecomeActive() const { notificationCenter_->post(ApplicationDidBecomeActiveNotification); }

private:
    std::shared_ptr<NotificationCenter> notificationCenter_;
};

}  // namespace fenk
