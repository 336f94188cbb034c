#pragma once

#include "FenkSDK/engagement/FenkPushNotification.h"
#include "FenkSDK/ports/Ui.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace fenk {

class Dispatcher;
class FenkToasts;
class Http;
class NotificationCenter;
class Preferences;

// Posted when the user closes an image or video screen; its user information names the screen under
// kClosePopupScreenKey (a ScreenId). The manager closes the screen named, or the top-most without a name.
inline constexpr std::string_view kClosePopup = "FENK_CLOSE_POPUP";
inline constexpr std::string_view kClosePopupScreenKey = "screenId";
// Posted when the user accepts the legal terms on the legal screen, which it names the same way.
inline constexpr std::string_view kTacShowed = "FENK_TAC_SHOWED";

// Shows push content over the host's window, by its type: "text" as a toast, "video", "video:mov" and
// "video:mp4" in a media player, "video:youtube" in the online player, "image" as a full-screen image with
// portrait and landscape variants. Anything else, and content without a type, shows nothing; so does a host
// without a window. Also opens links in the in-app browser.
//
// Each screen has its own identity from the moment it is attached until it is closed, and closing takes away
// everything it shows. Every call is made on the main queue, where every event and completion also runs.
class ContentPresenter {
public:
    struct Collaborators {
        std::shared_ptr<Ui> ui;
        std::shared_ptr<Http> http;
        std::shared_ptr<Preferences> preferences;
        std::shared_ptr<Dispatcher> dispatcher;
        // Where FENK_CLOSE_POPUP is posted.
        std::shared_ptr<NotificationCenter> notificationCenter;
        // The user closed the in-app browser.
        std::function<void()> browserClosed;
        // A legal screen left the screen, whatever closed it.
        std::function<void()> legalScreenGone;
        // Where the online player's page loads the player's script from.
        std::string playerScriptAddress;
    };

    static constexpr double kTextToastSeconds = 5.0;
    static constexpr auto kCloseRevealDelay = std::chrono::seconds(5);

    explicit ContentPresenter(Collaborators collaborators);
    // Takes everything it shows off the screen.
    ~ContentPresenter();
    ContentPresenter(const ContentPresenter&) = delete;
    ContentPresenter& operator=(const ContentPresenter&) = delete;

    void presentContent(const FenkPushNotification& notification);
    // Opens an http or https link with a host in the in-app browser; anything else opens nothing (false).
    bool openWebPage(const std::optional<std::string>& link);
    // The legal screen: `summaryLink` inside, `termsLink` opened outside the host by its accept button (no
    // button without one). False, and nothing shown, without a window or when the summary is no web address.
    bool presentLegalScreen(const std::string& summaryLink, const std::string& termsLink);
    // Closes screen `id`, or the top-most screen without one. An id no longer shown closes nothing.
    void closePopup(std::optional<ScreenId> id);

    // The screens on show, oldest first.
    std::vector<ScreenId> presentations() const;
    FenkToasts& toasts();

private:
    struct State;
    std::shared_ptr<State> state_;
};

}  // namespace fenk
