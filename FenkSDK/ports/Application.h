#pragma once

#include "FenkSDK/runtime/NotificationCenter.h"

#include <atomic>
#include <memory>
#include <string_view>

namespace fenk {

// Application-lifecycle notifications, posted on the environment's notification centre.
inline constexpr std::string_view ApplicationDidFinishLaunchingNotification = "ApplicationDidFinishLaunchingNotification";
inline constexpr std::string_view ApplicationWillResignActiveNotification = "ApplicationWillResignActiveNotification";
inline constexpr std::string_view ApplicationWillEnterForegroundNotification = "ApplicationWillEnterForegroundNotification";
inline constexpr std::string_view ApplicationDidBecomeActiveNotification = "ApplicationDidBecomeActiveNotification";
inline constexpr std::string_view ApplicationDidEnterBackgroundNotification = "ApplicationDidEnterBackgroundNotification";

// Launch options (user information of the did-finish-launching notification).
inline constexpr std::string_view ApplicationLaunchOptionsLocationKey = "ApplicationLaunchOptionsLocationKey";
inline constexpr std::string_view ApplicationLaunchOptionsRemoteNotificationKey = "ApplicationLaunchOptionsRemoteNotificationKey";

// Where the host application stands in its lifecycle. The raw values are fixed.
enum class ApplicationState : int { active = 0, inactive = 1, background = 2 };

// The host application as the SDK sees it. The host announces its lifecycle here, and the SDK observes the
// resulting notifications like any other. A host starts inactive: it is active once it says it became so.
// Safe to use from any thread.
class Application {
public:
    explicit Application(std::shared_ptr<NotificationCenter> notificationCenter)
        : notificationCenter_(std::move(notificationCenter)) {}
    virtual ~Application() = default;

    void didFinishLaunching(UserInfo launchOptions = {}) const {
        notificationCenter_->post(ApplicationDidFinishLaunchingNotification, std::move(launchOptions));
    }
    void willResignActive() {
        state_ = ApplicationState::inactive;
        notificationCenter_->post(ApplicationWillResignActiveNotification);
    }
    void didEnterBackground() {
        state_ = ApplicationState::background;
        notificationCenter_->post(ApplicationDidEnterBackgroundNotification);
    }
    void willEnterForeground() {
        state_ = ApplicationState::inactive;
        notificationCenter_->post(ApplicationWillEnterForegroundNotification);
    }
    void didBecomeActive() {
        state_ = ApplicationState::active;
        notificationCenter_->post(ApplicationDidBecomeActiveNotification);
    }

    ApplicationState applicationState() const { return state_; }

private:
    std::shared_ptr<NotificationCenter> notificationCenter_;
    std::atomic<ApplicationState> state_{ApplicationState::inactive};
};

}  // namespace fenk
