#pragma once

#include "FenkSDK/ui/PlayerTypes.h"

#include <optional>
#include <string>
#include <string_view>

namespace fenk {

// One event the player page reported: the event's name and its value as text (empty when it has none).
struct PlayerEvent {
    std::string name;
    std::string data;

    bool operator==(const PlayerEvent&) const = default;
};

// An event from a script message body, {"event": NAME, "data": VALUE} with VALUE text or null; none for any
// other body.
std::optional<PlayerEvent> eventFromMessage(std::string_view body);

enum class NavigationPolicy { Allow, Cancel };

struct NavigationDecision {
    NavigationPolicy policy = NavigationPolicy::Allow;
    std::optional<PlayerEvent> event;
};

// What to do with a navigation inside the player: a "ytplayer://NAME?data=VALUE" link is an event and goes
// nowhere; every other navigation, and one without a link, goes ahead.
NavigationDecision decideNavigation(std::optional<std::string_view> url);

// What applying an event asks of the player's delegate.
enum class PlayerBridgeOutcome { None, Ready, StateChanged, QualityChanged };

// What the bridge knows about the player, kept up to date from the page's events.
struct PlayerBridgeState {
    bool ready = false;
    FenkYTPlayerState playerState = FenkYTPlayerState::Unstarted;
    FenkYTPlaybackQuality playbackQuality = FenkYTPlaybackQuality::Small;

    // Unknown events, "onError" and values the player does not define change nothing.
    PlayerBridgeOutcome apply(const PlayerEvent& event);
};

}  // namespace fenk
