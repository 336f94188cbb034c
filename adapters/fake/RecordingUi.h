#pragma once

#include "FenkSDK/ports/Dispatcher.h"
#include "FenkSDK/ports/Ui.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace fenk {

// One call the core made to the toolkit, as it was given.
struct UiCall {
    enum class Kind {
        present,
        revealClose,
        showImage,
        dismiss,
        play,
        pause,
        evaluateScript,
        measureToast,
        showToast,
        openInAppBrowser,
        openExternal
    };

    UiCall(Kind kind_, ScreenId id_) : kind(kind_), id(id_) {}

    Kind kind;
    ScreenId id;
    std::optional<Screen> screen;  // present
    std::optional<Data> image;     // showImage
    std::optional<Toast> toast;    // measureToast, showToast
    Point centre;                  // showToast
    Size limit;                    // measureToast
    std::string text;              // the script, or the link
};

// A toolkit a test can see and act on: every call is recorded in order, the window and the measured toast size
// are whatever the test sets, and the test plays the user by firing the events. Main queue only.
class RecordingUi final : public Ui {
public:
    // Script results are delivered on `mainQueue`, later, as a real page answers.
    explicit RecordingUi(std::shared_ptr<DispatchQueue> mainQueue) : mainQueue_(std::move(mainQueue)) {}

    void setEvents(UiEvents events) override { events_ = std::move(events); }
    bool hasWindow() const override { return hasWindow_; }
    Size windowSize() const override { return windowSize_; }
    SafeAreaInsets safeAreaInsets() const override { return insets_; }
    void present(ScreenId id, Screen screen) override;
    void revealClose(ScreenId id) override { record(UiCall::Kind::revealClose, id); }
    void showImage(ScreenId id, std::optional<Data> image) override { record(UiCall::Kind::showImage, id).image = std::move(image); }
    void dismiss(ScreenId id) override;
    void play(ScreenId id) override { record(UiCall::Kind::play, id); }
    void pause(ScreenId id) override { record(UiCall::Kind::pause, id); }
    void evaluateScript(ScreenId id, const std::string& script,
                        std::function<void(std::optional<std::string>)> completion) override;
    // The settable toast size, cut down to the limit as a toolkit wraps text to fit.
    Size measureToast(const Toast& toast, Size limit) override;
    void showToast(ScreenId id, const Toast& toast, Point centre) override;
    void openInAppBrowser(const std::string& url) override;
    void openExternal(const std::string& url) override;

    void setWindow(std::optional<Size> size);  // none: no window
    void setSafeAreaInsets(SafeAreaInsets insets) { insets_ = insets; }
    void setToastSize(Size size) { toastSize_ = size; }
    void setScriptAnswer(std::optional<std::string> answer) { scriptAnswer_ = std::move(answer); }

    const std::vector<UiCall>& calls() const { return calls_; }
    std::vector<UiCall> callsOf(UiCall::Kind kind) const;
    // What is on screen now, oldest first.
    const std::vector<ScreenId>& shown() const { return shown_; }

    // The user's side. Each runs the handler set now, at once; an unset handler is not reported.
    void tap(ScreenId id, Control control) const;
    void mediaEvent(ScreenId id, MediaEvent event) const;
    void resize(ScreenId id, Size size) const;
    void pageMessage(ScreenId id, const std::string& message) const;
    void loadFinished(ScreenId id) const;
    // The handler's decision; true when none is set, as every navigation then goes.
    bool navigate(ScreenId id, const std::optional<std::string>& url) const;
    void closeBrowser() const;

private:
    UiCall& record(UiCall::Kind kind, ScreenId id = 0) { return calls_.emplace_back(kind, id); }

    const std::shared_ptr<DispatchQueue> mainQueue_;
    UiEvents events_;
    bool hasWindow_ = true;
    Size windowSize_{400, 800};
    SafeAreaInsets insets_;
    Size toastSize_{200, 60};
    std::optional<std::string> scriptAnswer_ = "null";
    std::vector<UiCall> calls_;
    std::vector<ScreenId> shown_;
};

}  // namespace fenk
