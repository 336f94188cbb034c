#include "FenkSDK/ui/PlayerCommands.h"

#include "FenkSDK/runtime/DecimalText.h"

#include <cmath>
#include <string_view>

namespace fenk {
namespace {

std::string_view callOf(PlayerCommand command) {
    switch (command) {
        case PlayerCommand::Mute: return "mute()";
        case PlayerCommand::UnMute: return "unMute()";
        case PlayerCommand::Play: return "playVideo()";
        case PlayerCommand::Pause: return "pauseVideo()";
        case PlayerCommand::Stop: return "stopVideo()";
        case PlayerCommand::Clear: return "clearVideo()";
        case PlayerCommand::PreviousVideo: return "previousVideo()";
        case PlayerCommand::NextVideo: return "nextVideo()";
        case PlayerCommand::GetDuration: return "getDuration()";
        case PlayerCommand::GetCurrentTime: return "getCurrentTime()";
    }
    return {};
}

std::string playerCall(std::string_view call) { return "player." + std::string(call) + ";"; }

}  // namespace

std::string commandScript(PlayerCommand command) { return playerCall(callOf(command)); }

std::optional<std::string> seekScript(double seconds, bool allowSeekAhead) {
    if (!std::isfinite(seconds)) return std::nullopt;
    return playerCall("seekTo(" + shortestDecimal(seconds) + ", " + (allowSeekAhead ? "true" : "false") + ")");
}

}  // namespace fenk
