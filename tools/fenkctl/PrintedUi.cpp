#include "tools/fenkctl/PrintedUi.h"

#include <type_traits>

namespace fenk {
namespace {

std::string screenId(ScreenId id) { return std::to_string(id); }

}  // namespace

void PrintedUi::present(ScreenId id, Screen screen) {
    const auto [kind, address] = std::visit(
        [](const auto& shown) -> std::pair<std::string, std::string> {
            using Kind = std::decay_t<decltype(shown)>;
            if constexpr (std::is_same_v<Kind, ImageScreen>) return {"image", ""};
            if constexpr (std::is_same_v<Kind, MediaScreen>) return {"media", shown.url.value_or("")};
            if constexpr (std::is_same_v<Kind, PageScreen>) return {"page", shown.baseUrl};
            if constexpr (std::is_same_v<Kind, LegalScreen>) return {"legal", shown.pageUrl};
        },
        screen);
    screens_.push_back(id);
    printer_.event("screen", {{"id", screenId(id)}, {"kind", kind}, {"url", address}});
}

void PrintedUi::dismiss(ScreenId id) {
    std::erase(screens_, id);
    printer_.event("dismissed", {{"id", screenId(id)}});
}

void PrintedUi::evaluateScript(ScreenId, const std::string&, std::function<void(std::optional<std::string>)> completion) {
    mainQueue_->async([completion = std::move(completion)] { completion(std::nullopt); });
}

void PrintedUi::showToast(ScreenId id, const Toast& toast, Point) {
    printer_.event("toast", {{"id", screenId(id)}, {"message", toast.message.value_or("")}});
}

void PrintedUi::openInAppBrowser(const std::string& url) { printer_.event("browser", {{"url", url}}); }
void PrintedUi::openExternal(const std::string& url) { printer_.event("external", {{"url", url}}); }

void PrintedUi::tapTopScreen(Control control) {
    mainQueue_->async([weak = weak_from_this(), control] {
        const auto self = weak.lock();
        if (self && !self->screens_.empty() && self->events_.tapped) self->events_.tapped(self->screens_.back(), control);
    });
}

void PrintedUi::closeBrowser() {
    mainQueue_->async([weak = weak_from_this()] {
        const auto self = weak.lock();
        if (self && self->events_.browserClosed) self->events_.browserClosed();
    });
}

}  // namespace fenk
