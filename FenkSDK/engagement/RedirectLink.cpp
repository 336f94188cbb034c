#include "FenkSDK/engagement/RedirectLink.h"

#include "FenkSDK/UserDefault.h"
#include "FenkSDK/api/PercentEncoding.h"

#include <string_view>

namespace fenk {
namespace {

std::string storedComponent(const Preferences& preferences, std::string_view key) {
    return encodeQueryComponent(preferences.string(key).value_or(""));
}

// What joins the parameters to the part of the link before its fragment: nothing when a query is open for
// them already, "&" after a query, "?" to start one.
std::string_view separatorAfter(std::string_view linkBeforeFragment) {
    const auto query = linkBeforeFragment.find('?');
    if (query == std::string_view::npos) return "?";
    return linkBeforeFragment.ends_with('?') || linkBeforeFragment.ends_with('&') ? "" : "&";
}

}  // namespace

std::string redirectLink(const std::optional<std::string>& target, const Preferences& preferences) {
    const std::string_view link = target ? std::string_view(*target) : std::string_view();
    const auto fragment = link.find('#');
    const std::string_view beforeFragment = link.substr(0, fragment);
    const std::string_view fromFragment = fragment == std::string_view::npos ? "" : link.substr(fragment);

    std::string redirect(beforeFragment);
    redirect += separatorAfter(beforeFragment);
    redirect += "isAdvertising=true&resourceId=" + storedComponent(preferences, settingsKeys::kKeyResourceId) +
                "&adId=" + storedComponent(preferences, settingsKeys::kKeyAdidFenk);
    redirect += fromFragment;
    return redirect;
}

}  // namespace fenk
