#include "FenkSDK/ui/NoWindowUi.h"

namespace fenk {

void NoWindowUi::setEvents(UiEvents) {}
bool NoWindowUi::hasWindow() const { return false; }
Size NoWindowUi::windowSize() const { return {}; }
SafeAreaInsets NoWindowUi::safeAreaInsets() const { return {}; }
void NoWindowUi::present(ScreenId, Screen) {}
void NoWindowUi::revealClose(ScreenId) {}
void NoWindowUi::showImage(ScreenId, std::optional<Data>) {}
void NoWindowUi::dismiss(ScreenId) {}
void NoWindowUi::play(ScreenId) {}
void NoWindowUi::pause(ScreenId) {}
// No page is ever shown to run it in, and the core asks only of a shown page.
void NoWindowUi::evaluateScript(ScreenId, const std::string&, std::function<void(std::optional<std::string>)>) {}
Size NoWindowUi::measureToast(const Toast&, Size) { return {}; }
void NoWindowUi::showToast(ScreenId, const Toast&, Point) {}
// Links open nowhere: without a window there is no browser to show them in, nor a desktop to hand them to.
void NoWindowUi::openInAppBrowser(const std::string&) {}
void NoWindowUi::openExternal(const std::string&) {}

}  // namespace fenk
