#include "FenkSDK/ui/PlayerTypes.h"

#include <algorithm>
#include <array>
#include <utility>

namespace fenk {
namespace {

template <class Value, std::size_t Count>
using TextTable = std::array<std::pair<Value, std::string_view>, Count>;

constexpr TextTable<FenkYTPlayerState, 6> kStates{{
    {FenkYTPlayerState::Unstarted, "-1"},
    {FenkYTPlayerState::Ended, "0"},
    {FenkYTPlayerState::Playing, "1"},
    {FenkYTPlayerState::Paused, "2"},
    {FenkYTPlayerState::Buffering, "3"},
    {FenkYTPlayerState::Queued, "5"},
}};

constexpr TextTable<FenkYTPlaybackQuality, 6> kQualities{{
    {FenkYTPlaybackQuality::Small, "small"},
    {FenkYTPlaybackQuality::Medium, "medium"},
    {FenkYTPlaybackQuality::Large, "large"},
    {FenkYTPlaybackQuality::HD720, "hd720"},
    {FenkYTPlaybackQuality::HD1080, "hd1080"},
    {FenkYTPlaybackQuality::HighResolution, "highres"},
}};

constexpr TextTable<FenkYTPlayerEvents, 4> kEvents{{
    {FenkYTPlayerEvents::YouTubeIframeAPIReady, "onYouTubeIframeAPIReady"},
    {FenkYTPlayerEvents::Ready, "onReady"},
    {FenkYTPlayerEvents::StateChange, "onStateChange"},
    {FenkYTPlayerEvents::PlaybackQualityChange, "onPlaybackQualityChange"},
}};

template <class Value, std::size_t Count>
std::string_view textOf(const TextTable<Value, Count>& table, Value value) {
    const auto found = std::ranges::find(table, value, &std::pair<Value, std::string_view>::first);
    return found == table.end() ? std::string_view{} : found->second;
}

template <class Value, std::size_t Count>
std::optional<Value> valueOf(const TextTable<Value, Count>& table, std::string_view text) {
    const auto found = std::ranges::find(table, text, &std::pair<Value, std::string_view>::second);
    if (found == table.end()) return std::nullopt;
    return found->first;
}

}  // namespace

std::string_view toText(FenkYTPlayerState state) { return textOf(kStates, state); }
std::string_view toText(FenkYTPlaybackQuality quality) { return textOf(kQualities, quality); }
std::string_view toText(FenkYTPlayerEvents event) { return textOf(kEvents, event); }

std::optional<FenkYTPlayerState> playerStateFromText(std::string_view text) { return valueOf(kStates, text); }
std::optional<FenkYTPlaybackQuality> playbackQualityFromText(std::string_view text) {
    return valueOf(kQualities, text);
}
std::optional<FenkYTPlayerEvents> playerEventFromText(std::string_view text) { return valueOf(kEvents, text); }

}  // namespace fenk
