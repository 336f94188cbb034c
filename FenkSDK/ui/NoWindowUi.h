#pragma once

#include "FenkSDK/ports/Ui.h"

namespace fenk {

// The toolkit of a host without a window, such as a command-line program: nothing is ever shown, so no event
// ever comes back.
class NoWindowUi final : public Ui {
public:
    void setEvents(UiEvents events) override;
    bool hasWindow() const override;
    Size windowSize() const override;
    SafeAreaInsets safeAreaInsets() const override;
    void present(ScreenId id, Screen screen) override;
    void revealClose(ScreenId id) override;
    void showImage(ScreenId id, std::optional<Data> image) override;
    void dismiss(ScreenId id) override;
    void play(ScreenId id) override;
    void pause(ScreenId id) override;
    void evaluateScript(ScreenId id, const std::string& script,
                        std::function<void(std::optional<std::string>)> completion) override;
    Size measureToast(const Toast& toast, Size limit) override;
    void showToast(ScreenId id, const Toast& toast, Point centre) override;
    void openInAppBrowser(const std::string& url) override;
    void openExternal(const std::string& url) override;
};

}  // namespace fenk
