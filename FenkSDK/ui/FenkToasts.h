#pragma once

#include "FenkSDK/ports/Dispatcher.h"
#include "FenkSDK/ports/Ui.h"
#include "FenkSDK/runtime/Data.h"
#include "FenkSDK/ui/FenkToastManager.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace fenk {

// The toasts over the host's window: where each goes, how long it stays, which waits, and whom to tell when it
// goes. The toolkit only draws them. Every call, and every completion, is on the main queue.
class FenkToasts {
public:
    // Receives whether the user tapped the toast away; runs once for each toast that was shown.
    using Completion = std::function<void(bool tapped)>;

    FenkToasts(std::shared_ptr<Ui> ui, std::shared_ptr<DispatchQueue> mainQueue);
    // Takes the toasts it still shows off the screen, without completions, and forgets those waiting.
    ~FenkToasts();
    FenkToasts(const FenkToasts&) = delete;
    FenkToasts& operator=(const FenkToasts&) = delete;

    // The host's settings, read by every later toast.
    FenkToastManager& settings();

    // Shows a toast of the content given, or waits for those shown when queueing is on. Refused, with a line
    // on the console, when it has no message, title or image; nothing is shown without a window.
    void makeFenkToast(std::optional<std::string> message, double durationSeconds, FenkToastPosition position,
                       std::optional<std::string> title, std::optional<Data> image, const FenkToastStyle& style,
                       Completion completion);
    // Hides the oldest toast shown.
    void hideFenkToast();
    void hideAllFenkToasts(bool clearQueue);
    // Forgets the toasts waiting to be shown; their completions never run.
    void clearFenkToastQueue();

    // The user tapped toast `id`: hides it when tap to dismiss was on as it was shown. Ids of anything else,
    // and of toasts already going, change nothing.
    void toastTapped(ScreenId id);

private:
    struct State;
    std::shared_ptr<State> state_;
};

}  // namespace fenk
