#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace fenk {

// Where the page loads the online player's script from; tests point it at a stand-in on 127.0.0.1.
inline constexpr std::string_view kPlayerScriptAddress = "https://www.youtube.com/iframe_api";

// Player variables handed to the online player as they are ("controls" -> "1", ...).
using PlayerVars = std::map<std::string, std::string>;

// The player parameters as JSON: full size, the page's event handlers, `playerVars`, and the video to play.
// None, with one console line, when the id is not spelt in the service's alphabet or a variable is not UTF-8.
std::optional<std::string> videoParameters(std::string_view videoId, const PlayerVars& playerVars);

// As videoParameters, for a playlist: `playerVars` gains "listType" "playlist" and "list" the playlist id.
std::optional<std::string> playlistParameters(std::string_view playlistId, PlayerVars playerVars);

// The player page with `parametersJson` in place of its "%@" and the script loaded from `scriptAddress`. Both
// are inserted in one pass, so text inside them is never taken for a placeholder, and escaped so that nothing
// in them can end the page's script. None, with one console line, when the address is not http(s).
std::optional<std::string> composePage(std::string_view parametersJson,
                                       std::string_view scriptAddress = kPlayerScriptAddress);

// The whole page for one video or one playlist; none (nothing to load) when the parameters or the page cannot
// be made.
std::optional<std::string> videoPage(std::string_view videoId, const PlayerVars& playerVars,
                                     std::string_view scriptAddress = kPlayerScriptAddress);
std::optional<std::string> playlistPage(std::string_view playlistId, PlayerVars playerVars,
                                        std::string_view scriptAddress = kPlayerScriptAddress);

}  // namespace fenk
