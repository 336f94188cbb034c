#pragma once

#include <optional>
#include <string>

namespace fenk {

// Calls without arguments that the page's global `player` answers.
enum class PlayerCommand {
    Mute,
    UnMute,
    Play,
    Pause,
    Stop,
    Clear,
    PreviousVideo,
    NextVideo,
    GetDuration,
    GetCurrentTime,
};

// The JavaScript that runs a command on the page, such as "player.playVideo();".
std::string commandScript(PlayerCommand command);

// "player.seekTo(<seconds>, <true|false>);" with the seconds written locale-free; none for a time that is not
// finite, which JavaScript has no literal for.
std::optional<std::string> seekScript(double seconds, bool allowSeekAhead);

}  // namespace fenk
