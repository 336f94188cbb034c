#include "FenkSDK/ui/PlayerCommands.h"

#include "support/CommaLocale.h"

#include <gtest/gtest.h>

#include <limits>

namespace fenk {
namespace {

TEST(PlayerCommands, EachCommandCallsThePagePlayer) {
    struct Row {
        PlayerCommand command;
        const char* script;
    };
    for (const Row& row : {Row{PlayerCommand::Mute, "player.mute();"}, Row{PlayerCommand::UnMute, "player.unMute();"},
                           Row{PlayerCommand::Play, "player.playVideo();"},
                           Row{PlayerCommand::Pause, "player.pauseVideo();"},
                           Row{PlayerCommand::Stop, "player.stopVideo();"},
                           Row{PlayerCommand::Clear, "player.clearVideo();"},
                           Row{PlayerCommand::PreviousVideo, "player.previousVideo();"},
                           Row{PlayerCommand::NextVideo, "player.nextVideo();"},
                           Row{PlayerCommand::GetDuration, "player.getDuration();"},
                           Row{PlayerCommand::GetCurrentTime, "player.getCurrentTime();"}}) {
        EXPECT_EQ(commandScript(row.command), row.script);
    }
}

TEST(PlayerCommands, SeekWritesAPointDecimalAndSendsNothingForNonFiniteTimes) {
    const test::CommaLocale comma;
    struct Row {
        double seconds;
        bool seekAhead;
        std::optional<std::string> script;
    };
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    for (const Row& row : {Row{12.5, true, "player.seekTo(12.5, true);"},
                           Row{90.0, false, "player.seekTo(90.0, false);"},
                           Row{0.1, true, "player.seekTo(0.1, true);"},
                           Row{std::numeric_limits<double>::quiet_NaN(), true, std::nullopt},
                           Row{kInfinity, true, std::nullopt}, Row{-kInfinity, false, std::nullopt}}) {
        EXPECT_EQ(seekScript(row.seconds, row.seekAhead), row.script) << row.seconds;
    }
}

}  // namespace
}  // namespace fenk
