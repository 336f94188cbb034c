#include "FenkSDK/ui/PlayerEvents.h"

#include "FenkSDK/json/JsonDocument.h"
#include "FenkSDK/api/UrlParts.h"

namespace fenk {
namespace {

constexpr std::string_view kEventScheme = "ytplayer";

}  // namespace

std::optional<PlayerEvent> eventFromMessage(std::string_view body) {
    std::string error;
    const std::optional<json::JsonDocument> document = json::JsonDocument::parse(body, error);
    if (!document || document->root().kind() != json::JsonKind::Object) return std::nullopt;

    std::optional<std::string_view> name;
    std::string_view data;
    for (const json::JsonValue member : document->root().children()) {
        const bool isText = member.kind() == json::JsonKind::String;
        if (member.key() == "event") {
            if (!isText) return std::nullopt;
            name = member.text();
        } else if (member.key() == "data") {
            if (!isText && !member.isNull()) return std::nullopt;
            data = isText ? member.text() : std::string_view{};
        }
    }
    if (!name) return std::nullopt;
    return PlayerEvent{std::string(*name), std::string(data)};
}

NavigationDecision decideNavigation(std::optional<std::string_view> url) {
    if (!url) return {};
    const std::optional<UrlParts> parts = splitUrl(*url);
    if (!parts || parts->scheme != kEventScheme) return {};
    const std::string_view data = queryValue(parts->query, "data").value_or(std::string_view{});
    return {NavigationPolicy::Cancel, PlayerEvent{parts->host, std::string(data)}};
}

PlayerBridgeOutcome PlayerBridgeState::apply(const PlayerEvent& event) {
    const std::optional<FenkYTPlayerEvents> known = playerEventFromText(event.name);
    if (!known) return PlayerBridgeOutcome::None;
    switch (*known) {
        case FenkYTPlayerEvents::YouTubeIframeAPIReady:
            ready = true;
            return PlayerBridgeOutcome::None;
        case FenkYTPlayerEvents::Ready:
            return PlayerBridgeOutcome::Ready;
        case FenkYTPlayerEvents::StateChange: {
            const std::optional<FenkYTPlayerState> state = playerStateFromText(event.data);
            if (!state) return PlayerBridgeOutcome::None;
            playerState = *state;
            return PlayerBridgeOutcome::StateChanged;
        }
        case FenkYTPlayerEvents::PlaybackQualityChange: {
            const std::optional<FenkYTPlaybackQuality> quality = playbackQualityFromText(event.data);
            if (!quality) return PlayerBridgeOutcome::None;
            playbackQuality = *quality;
            return PlayerBridgeOutcome::QualityChanged;
        }
    }
    return PlayerBridgeOutcome::None;
}

}  // namespace fenk
