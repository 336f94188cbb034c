#include "FenkSDK/ui/PlayerPage.h"

#include "FenkSDK/api/WellFormedUrl.h"
#include "FenkSDK/json/JsonWriter.h"
#include "FenkSDK/runtime/Console.h"
#include "FenkSDK/ui/PlayerId.h"

#include <array>
#include <utility>

namespace fenk {
namespace {

constexpr std::string_view kParametersMarker = "%@";
constexpr std::string_view kScriptAddressMarker = "%script%";

// Both markers stand where a JavaScript value goes: each is replaced by a JSON text.
constexpr std::string_view kPageTemplate = R"html(<!DOCTYPE html>
<html>
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1, maximum-scale=1, user-scalable=no">
<style>
  html, body { margin: 0; padding: 0; width: 100%; height: 100%; overflow: hidden; background: transparent; }
  #player { position: absolute; top: 0; left: 0; width: 100%; height: 100%; }
</style>
</head>
<body>
<div id="player"></div>
<script>
"use strict";
var player;

// Every event reaches the host: as a script message where the host listens for one (several events in a row
// each arrive), else as a navigation the host cancels.
function report(name, value) {
  var data = value === undefined || value === null ? "" : String(value);
  var handlers = window.webkit && window.webkit.messageHandlers;
  if (handlers && handlers.fenkPlayer) {
    handlers.fenkPlayer.postMessage(JSON.stringify({ event: name, data: data }));
  } else {
    window.location.href = "ytplayer://" + name + "?data=" + encodeURIComponent(data);
  }
}

var pageHandlers = {
  onReady: function () { report("onReady", null); },
  onStateChange: function (event) { report("onStateChange", event.data); },
  onPlaybackQualityChange: function (event) { report("onPlaybackQualityChange", event.data); },
  onError: function (event) { report("onError", event.data); }
};

// The parameters name the page's handlers; the player wants the functions themselves.
function withPageHandlers(parameters) {
  var events = parameters.events || {};
  Object.keys(events).forEach(function (key) { events[key] = pageHandlers[events[key]]; });
  return parameters;
}

var playerParameters = %@;

function onYouTubeIframeAPIReady() {
  player = new YT.Player("player", withPageHandlers(playerParameters));
  report("onYouTubeIframeAPIReady", null);
}

(function loadPlayerScript() {
  var tag = document.createElement("script");
  tag.src = %script%;
  document.head.appendChild(tag);
})();
</script>
</body>
</html>
)html";

constexpr std::array<std::string_view, 4> kPageHandlerNames{"onReady", "onStateChange", "onPlaybackQualityChange",
                                                            "onError"};

std::nullopt_t refuse(std::string_view reason) {
    Console::print("[FenkYTPlayer] " + std::string(reason));
    return std::nullopt;
}

// JSON that is also safe inside a <script> element and any JavaScript source: "</script>", "<!--" and an
// '&' entity cannot form, and the two line separators JavaScript once read as line ends are spelt out. Every
// such character sits inside a JSON string, where the \u escape means the same character.
std::string scriptSafe(std::string_view json) {
    constexpr std::string_view kLineSeparator = "\xE2\x80\xA8";
    constexpr std::string_view kParagraphSeparator = "\xE2\x80\xA9";
    std::string safe;
    safe.reserve(json.size());
    for (std::size_t i = 0; i < json.size(); ++i) {
        const std::string_view rest = json.substr(i);
        if (json[i] == '<') {
            safe += "\\u003c";
        } else if (json[i] == '>') {
            safe += "\\u003e";
        } else if (json[i] == '&') {
            safe += "\\u0026";
        } else if (rest.starts_with(kLineSeparator)) {
            safe += "\\u2028";
            i += kLineSeparator.size() - 1;
        } else if (rest.starts_with(kParagraphSeparator)) {
            safe += "\\u2029";
            i += kParagraphSeparator.size() - 1;
        } else {
            safe += json[i];
        }
    }
    return safe;
}

std::optional<std::string> parametersJson(const PlayerVars& playerVars, std::optional<std::string_view> videoId) {
    json::JsonWriter writer;
    writer.beginObject();
    writer.key("height");
    writer.string("100%");
    writer.key("width");
    writer.string("100%");
    writer.key("events");
    writer.beginObject();
    for (const std::string_view handler : kPageHandlerNames) {
        writer.key(handler);
        writer.string(handler);
    }
    writer.endObject();
    writer.key("playerVars");
    writer.beginObject();
    for (const auto& [name, value] : playerVars) {
        writer.key(name);
        writer.string(value);
    }
    writer.endObject();
    if (videoId) {
        writer.key("videoId");
        writer.string(*videoId);
    }
    writer.endObject();
    std::optional<std::string> json = std::move(writer).finish();
    if (!json) return refuse("Player variables are not UTF-8 text; nothing loaded");
    return json;
}

}  // namespace

std::optional<std::string> videoParameters(std::string_view videoId, const PlayerVars& playerVars) {
    if (!isPlayerId(videoId)) return refuse("Not a video identifier; nothing loaded");
    return parametersJson(playerVars, videoId);
}

std::optional<std::string> playlistParameters(std::string_view playlistId, PlayerVars playerVars) {
    if (!isPlayerId(playlistId)) return refuse("Not a playlist identifier; nothing loaded");
    playerVars["listType"] = "playlist";
    playerVars["list"] = std::string(playlistId);
    return parametersJson(playerVars, std::nullopt);
}

std::optional<std::string> composePage(std::string_view parametersJson, std::string_view scriptAddress) {
    if (!isWellFormedUrl(scriptAddress)) return refuse("The player script address is not http(s); nothing loaded");
    json::JsonWriter addressWriter;
    addressWriter.string(scriptAddress);
    // A well-formed address is printable ASCII, which the writer always accepts.
    const std::string addressJson = std::move(addressWriter).finish().value_or("\"\"");

    std::string page;
    std::string_view rest = kPageTemplate;
    while (!rest.empty()) {
        const auto marker = rest.find('%');
        page += rest.substr(0, marker);
        if (marker == std::string_view::npos) break;
        rest.remove_prefix(marker);
        if (rest.starts_with(kParametersMarker)) {
            page += scriptSafe(parametersJson);
            rest.remove_prefix(kParametersMarker.size());
        } else if (rest.starts_with(kScriptAddressMarker)) {
            page += scriptSafe(addressJson);
            rest.remove_prefix(kScriptAddressMarker.size());
        } else {
            page += '%';
            rest.remove_prefix(1);
        }
    }
    return page;
}

std::optional<std::string> videoPage(std::string_view videoId, const PlayerVars& playerVars,
                                     std::string_view scriptAddress) {
    const std::optional<std::string> parameters = videoParameters(videoId, playerVars);
    return parameters ? composePage(*parameters, scriptAddress) : std::nullopt;
}

std::optional<std::string> playlistPage(std::string_view playlistId, PlayerVars playerVars,
                                        std::string_view scriptAddress) {
    const std::optional<std::string> parameters = playlistParameters(playlistId, std::move(playerVars));
    return parameters ? composePage(*parameters, scriptAddress) : std::nullopt;
}

}  // namespace fenk
