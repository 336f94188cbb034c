#pragma once

#include "FenkSDK/ports/Dispatcher.h"
#include "FenkSDK/ports/Ui.h"
#include "tools/fenkctl/EventPrinter.h"

#include <memory>

namespace fenk {

// A window that exists only in the output: what the SDK puts on screen is printed as an event ("screen",
// "dismissed", "toast", "browser", "external"), and whoever drives the session plays the user through tap() and
// closeBrowser(). Lets a script or a terminal go through the screens without a display. Main queue, like
// every toolkit.
class PrintedUi final : public Ui {
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

    // The user's part.
    void tap(ScreenId id, Control control) const;
    void closeBrowser() const;

private:
    EventPrinter& printer_;
    std::shared_ptr<DispatchQueue> mainQueue_;
    UiEvents events_;
};

}  // namespace fenk
