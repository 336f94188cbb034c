#include "adapters/fake/RecordingUi.h"

#include <algorithm>

namespace fenk {
namespace {

// Runs a copy, so that a handler may replace the events while it runs.
template <class Handler, class... Arguments>
void fire(const Handler& handler, const Arguments&... arguments) {
    if (const Handler running = handler) running(arguments...);
}

}  // namespace

void RecordingUi::present(ScreenId id, Screen screen) {
    shown_.push_back(id);
    record(UiCall::Kind::present, id).screen = std::move(screen);
}

void RecordingUi::dismiss(ScreenId id) {
    std::erase(shown_, id);
    record(UiCall::Kind::dismiss, id);
}

void RecordingUi::evaluateScript(ScreenId id, const std::string& script,
                                 std::function<void(std::optional<std::string>)> completion) {
    record(UiCall::Kind::evaluateScript, id).text = script;
    mainQueue_->async([completion = std::move(completion), answer = scriptAnswer_] {
        if (completion) completion(answer);
    });
}

Size RecordingUi::measureToast(const Toast& toast, Size limit) {
    UiCall& call = record(UiCall::Kind::measureToast);
    call.toast = toast;
    call.limit = limit;
    return {std::min(toastSize_.width, limit.width), std::min(toastSize_.height, limit.height)};
}

void RecordingUi::showToast(ScreenId id, const Toast& toast, Point centre) {
    shown_.push_back(id);
    UiCall& call = record(UiCall::Kind::showToast, id);
    call.toast = toast;
    call.centre = centre;
}

void RecordingUi::openInAppBrowser(const std::string& url) {
    record(UiCall::Kind::openInAppBrowser).text = url;
}

void RecordingUi::openExternal(const std::string& url) { record(UiCall::Kind::openExternal).text = url; }

void RecordingUi::setWindow(std::optional<Size> size) {
    hasWindow_ = size.has_value();
    windowSize_ = size.value_or(Size{});
}

std::vector<UiCall> RecordingUi::callsOf(UiCall::Kind kind) const {
    std::vector<UiCall> matching;
    std::ranges::copy_if(calls_, std::back_inserter(matching), [&](const UiCall& call) { return call.kind == kind; });
    return matching;
}

void RecordingUi::tap(ScreenId id, Control control) const {
    fire(events_.tapped, id, control);
}

void RecordingUi::mediaEvent(ScreenId id, MediaEvent event) const {
    fire(events_.media, id, event);
}

void RecordingUi::resize(ScreenId id, Size size) const {
    fire(events_.resized, id, size);
}

void RecordingUi::pageMessage(ScreenId id, const std::string& message) const {
    fire(events_.pageMessage, id, message);
}

void RecordingUi::loadFinished(ScreenId id) const {
    fire(events_.loadFinished, id);
}

bool RecordingUi::navigate(ScreenId id, const std::optional<std::string>& url) const {
    const auto decide = events_.navigation;
    return !decide || decide(id, url);
}

void RecordingUi::closeBrowser() const {
    fire(events_.browserClosed);
}

}  // namespace fenk
