#include "FenkSDK/ui/PlayerCommands.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <locale>

namespace fenk {
namespace {

// A decimal comma for streams; the locale that holds it owns it.
struct Comma : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

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
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new Comma));
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");  // printf's comma, where that locale is installed
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
    std::setlocale(LC_NUMERIC, "C");
    std::locale::global(previous);
}

}  // namespace
}  // namespace fenk
