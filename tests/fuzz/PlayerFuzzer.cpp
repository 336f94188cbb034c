// Feeds arbitrary text to the online-video player's page and bridge, as a host, a payload or the page itself
// could hand it over. Whatever goes into the page must stay inside its script: no tag may open and no raw line
// separator may appear that the page's own text does not hold. Every message, navigation and link must give
// an answer without crashing, and any id read from them must be spelt in the service's alphabet.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "FenkSDK/engagement/VideoPage.h"
#include "FenkSDK/ui/PlayerEvents.h"
#include "FenkSDK/ui/PlayerId.h"
#include "FenkSDK/ui/PlayerLinks.h"
#include "FenkSDK/ui/PlayerPage.h"

namespace fenk {
namespace {

constexpr std::string_view kScript = "http://127.0.0.1:8080/iframe_api";

[[noreturn]] void broken(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

// What could end the page's script or break a line inside it.
std::size_t dangerous(std::string_view page) {
    std::size_t count = static_cast<std::size_t>(std::ranges::count(page, '<'));
    for (const std::string_view separator : {"\xE2\x80\xA8", "\xE2\x80\xA9"}) {
        for (auto at = page.find(separator); at != std::string_view::npos; at = page.find(separator, at + 1)) ++count;
    }
    return count;
}

void checkPage(const std::optional<std::string>& page, std::size_t allowed) {
    if (page && dangerous(*page) != allowed) broken("inserted text escaped the page's script");
}

void check(std::string_view input) {
    static const std::size_t templateOnly = dangerous(composePage("{}", kScript).value_or(""));
    const std::string text(input);
    checkPage(videoPage("Ab1", PlayerVars{{text, text}}, kScript), templateOnly);
    checkPage(composePage(input, kScript), templateOnly);

    PlayerBridgeState state;
    if (const auto event = eventFromMessage(input)) state.apply(*event);
    const NavigationDecision decision = decideNavigation(input);
    if (decision.event && decision.policy != NavigationPolicy::Cancel) broken("an event navigation went ahead");
    if (decision.event) state.apply(*decision.event);

    if (const auto id = videoIdFromLink(input); id && !isPlayerId(*id)) broken("a link gave an id outside the alphabet");
    if (!std::ranges::all_of(extractVideoId(input), isPlayerIdCharacter)) broken("a page gave an id outside the alphabet");
}

}  // namespace
}  // namespace fenk

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fenk::check(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
