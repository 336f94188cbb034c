#pragma once

#include <optional>
#include <string_view>

namespace fenk {

// The online player's own words for its state, quality and events; each case travels as the text beside it.

enum class FenkYTPlayerState { Unstarted, Ended, Playing, Paused, Buffering, Queued };

enum class FenkYTPlaybackQuality { Small, Medium, Large, HD720, HD1080, HighResolution };

enum class FenkYTPlayerEvents { YouTubeIframeAPIReady, Ready, StateChange, PlaybackQualityChange };

std::string_view toText(FenkYTPlayerState state);
std::string_view toText(FenkYTPlaybackQuality quality);
std::string_view toText(FenkYTPlayerEvents event);

// None for a text the player does not define.
std::optional<FenkYTPlayerState> playerStateFromText(std::string_view text);
std::optional<FenkYTPlaybackQuality> playbackQualityFromText(std::string_view text);
std::optional<FenkYTPlayerEvents> playerEventFromText(std::string_view text);

}  // namespace fenk
