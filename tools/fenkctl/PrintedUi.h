#pragma once

#include "FenkSDK/ports/Dispatcher.h"
#include "FenkSDK/ports/Ui.h"
#include "tools/fenkctl/EventPrinter.h"

#include <memory>
#include <vector>

namespace fenk {

// A window that exists only in the output: what the SDK puts on screen is printed as an event ("screen",
// "dismissed", "toast", "browser", "external"), and whoever drives the session plays the user through
// tapTopScreen() and closeBrowser(). Lets a script or a terminal go through the screens without a display. The
// toolkit's calls come on the main queue; the user's may come from any thread and go there.
class PrintedUi final : public Ui, public std::enable_shared_from_this<PrintedUi> {
public:
    PrintedUi(EventPrinter& printer, std::shared_ptr<DispatchQueue> mainQueue)
        : printer_(printer), mainQueue_(std::move(mainQueue)) {}

    void setEvents(UiEvents events) override { events_ = std::move(events); }
    bool hasWindow() const override { return true; }
    Size windowSize() const override { return {400, 800}; }
    SafeAreaInsets safeAreaInsets() const override { return {}; }
    void present(ScreenId id, Screen screen) override;
    void revealClose(ScreenId) override {}
    void showImage(ScreenId, std::optional<Data>) override {}
    void dismiss(ScreenId id) override;
    void play(ScreenId) override {}
    void pause(ScreenId) override {}
    // There is no page to run it in: answered with none, later, as a page answers.
    void evaluateScript(ScreenId id, const std::string& script,
                        std::function<void(std::optional<std::string>)> completion) override;
    Size measureToast(const Toast&, Size limit) override { return {limit.width, 60}; }
    void showToast(ScreenId id, const Toast& toast, Point centre) override;
    void openInAppBrowser(const std::string& url) override;
    void openExternal(const std::string& url) override;

    // The user's part: a tap on the newest screen (nothing without one), the in-app browser closed.
    void tapTopScreen(Control control);
    void closeBrowser();

private:
    EventPrinter& printer_;
    std::shared_ptr<DispatchQueue> mainQueue_;
    UiEvents events_;
    std::vector<ScreenId> screens_;  // on show, oldest first
};

}  // namespace fenk
