#pragma once

#include "FenkSDK/runtime/Data.h"
#include "FenkSDK/ui/FenkToastStyle.h"
#include "FenkSDK/ui/ToastPlacement.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <variant>

namespace fenk {

// Names one thing on screen, a screen or a toast, from its presentation to its dismissal. The core hands them
// out and never reuses one in a process.
using ScreenId = std::uint64_t;

// A full-screen image, with a close button and, when asked for, a redirect button. Images arrive checked and
// within the core's size limits (PNG, JPEG, GIF or WebP); a screen without one shows none.
struct ImageScreen {
    std::optional<Data> image;
    bool redirectButton = false;
};

enum class MediaMode { video, audio };

// A full-screen player of an http(s) address on black; without an address, a player with nothing to play.
// It shows that it is loading until the media is ready or has failed, and keeps the last frame at the end.
// In audio mode the artwork is shown in front.
struct MediaScreen {
    MediaMode mode = MediaMode::video;
    std::optional<std::string> url;
    std::optional<Data> artwork;
    bool redirectButton = false;
};

// A page the core composed (the online-video player), loaded under `baseUrl`, with a close button. Its script messages to the
// handler "fenkPlayer" come back as page messages, and the core decides each navigation.
struct PageScreen {
    std::string html;
    std::string baseUrl;
};

// A page on the web (the legal terms' summary) with a close button shown from the start and, when asked for,
// an accept button (reported as Control::redirect). Links are http or https with a host, checked by the core.
struct LegalScreen {
    std::string pageUrl;
    bool acceptButton = false;
};

using Screen = std::variant<ImageScreen, MediaScreen, PageScreen, LegalScreen>;

// A toast's content: plain text, never markup.
struct Toast {
    std::optional<std::string> title;
    std::optional<std::string> message;
    std::optional<Data> image;
    FenkToastStyle style;
};

// What the user tapped: a screen's buttons, or a toast.
enum class Control { close, redirect, toast };
enum class MediaEvent { ready, failed, ended };

// What comes back from the screen. Each runs on the main queue; an unset one is not reported.
struct UiEvents {
    std::function<void(ScreenId, Control)> tapped;
    std::function<void(ScreenId, MediaEvent)> media;
    // The screen's size changed (the window was turned or resized).
    std::function<void(ScreenId, Size)> resized;
    std::function<void(ScreenId, const std::string& message)> pageMessage;
    std::function<void(ScreenId)> loadFinished;
    // Whether a page may go to the address; none: a navigation without one. Unset: every navigation goes.
    std::function<bool(ScreenId, const std::optional<std::string>& url)> navigation;
    // The user closed the in-app browser.
    std::function<void()> browserClosed;
};

// The host's interface toolkit: it draws what the core decides. Every call is made on the main queue.
class Ui {
public:
    virtual ~Ui() = default;

    // Replaces the handlers of every event from now on.
    virtual void setEvents(UiEvents events) = 0;

    // Whether the host has a window to show things over. Without one nothing is shown, and the core does not
    // ask for it.
    virtual bool hasWindow() const = 0;
    virtual Size windowSize() const = 0;
    virtual SafeAreaInsets safeAreaInsets() const = 0;

    // Lays the screen over the host's window, above everything shown before, with its close button hidden.
    virtual void present(ScreenId id, Screen screen) = 0;
    virtual void revealClose(ScreenId id) = 0;
    // Replaces the image of an image screen, or the artwork of an audio screen; none shows none.
    virtual void showImage(ScreenId id, std::optional<Data> image) = 0;
    // Takes a screen or a toast away with everything it holds; an id not shown is ignored.
    virtual void dismiss(ScreenId id) = 0;
    virtual void play(ScreenId id) = 0;
    virtual void pause(ScreenId id) = 0;
    // Runs script in a page screen; the completion gets the result as JSON text, or none when it failed.
    virtual void evaluateScript(ScreenId id, const std::string& script,
                                std::function<void(std::optional<std::string>)> completion) = 0;

    // The size the toast's box takes within `limit`.
    virtual Size measureToast(const Toast& toast, Size limit) = 0;
    // Shows the toast centred at `centre`, fading in over its style's fade duration; dismiss() fades it out.
    virtual void showToast(ScreenId id, const Toast& toast, Point centre) = 0;

    // Links are http or https with a host, checked by the core.
    virtual void openInAppBrowser(const std::string& url) = 0;
    // Hands the link to the desktop, outside the host.
    virtual void openExternal(const std::string& url) = 0;
};

}  // namespace fenk
