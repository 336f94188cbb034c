#include "FenkSDK/ui/PlayerEvents.h"

#include <gtest/gtest.h>

#include <vector>

namespace fenk {

bool operator==(const PlayerEvent& left, const PlayerEvent& right) {
    return left.name == right.name && left.data == right.data;
}
void PrintTo(const PlayerEvent& event, std::ostream* out) { *out << event.name << '=' << event.data; }

namespace {

TEST(PlayerEvents, ScriptMessagesCarryAnEventNameAndTextData) {
    struct Row {
        std::string_view body;
        std::optional<PlayerEvent> event;
    };
    for (const Row& row : {
             Row{R"({"event":"onStateChange","data":"5"})", PlayerEvent{"onStateChange", "5"}},
             Row{R"({"data":"hd720","event":"onPlaybackQualityChange"})", PlayerEvent{"onPlaybackQualityChange", "hd720"}},
             Row{R"({"event":"onReady","data":null})", PlayerEvent{"onReady", ""}},
             Row{R"({"event":"onYouTubeIframeAPIReady"})", PlayerEvent{"onYouTubeIframeAPIReady", ""}},
             Row{R"({"data":"1"})", std::nullopt},
             Row{R"({"event":1,"data":"1"})", std::nullopt},
             Row{R"({"event":"onStateChange","data":1})", std::nullopt},
             Row{R"(["onReady"])", std::nullopt},
             Row{R"({"event":"onReady")", std::nullopt},
             Row{"", std::nullopt},
         }) {
        EXPECT_EQ(eventFromMessage(row.body), row.event) << row.body;
    }
}

TEST(PlayerEvents, OnlyEventLinksAreCancelledAndDecoded) {
    struct Row {
        std::optional<std::string_view> url;
        NavigationPolicy policy;
        std::optional<PlayerEvent> event;
    };
    for (const Row& row : {
             Row{std::nullopt, NavigationPolicy::Allow, std::nullopt},
             Row{"ytplayer://onStateChange?data=5", NavigationPolicy::Cancel, PlayerEvent{"onStateChange", "5"}},
             Row{"ytplayer://onPlaybackQualityChange?x=1&data=hd720", NavigationPolicy::Cancel,
                 PlayerEvent{"onPlaybackQualityChange", "hd720"}},
             Row{"ytplayer://onReady", NavigationPolicy::Cancel, PlayerEvent{"onReady", ""}},
             Row{"https://www.youtube.com/watch?v=M7lc1UVf-VE", NavigationPolicy::Allow, std::nullopt},
             Row{"about:blank", NavigationPolicy::Allow, std::nullopt},
         }) {
        const NavigationDecision decision = decideNavigation(row.url);
        EXPECT_EQ(decision.policy, row.policy) << row.url.value_or("no link");
        EXPECT_EQ(decision.event, row.event) << row.url.value_or("no link");
    }
}

struct BridgeCase {
    const char* name;
    std::vector<PlayerEvent> events;
    std::vector<PlayerBridgeOutcome> outcomes;
    bool ready;
    FenkYTPlayerState state;
    FenkYTPlaybackQuality quality;
};
void PrintTo(const BridgeCase& c, std::ostream* out) { *out << c.name; }

struct PlayerBridge : testing::TestWithParam<BridgeCase> {};

TEST_P(PlayerBridge, AppliesEveryKnownEventInTurn) {
    const BridgeCase& c = GetParam();
    PlayerBridgeState bridge;
    std::vector<PlayerBridgeOutcome> outcomes;
    for (const PlayerEvent& event : c.events) outcomes.push_back(bridge.apply(event));
    EXPECT_EQ(outcomes, c.outcomes);
    EXPECT_EQ(bridge.ready, c.ready);
    EXPECT_EQ(bridge.playerState, c.state);
    EXPECT_EQ(bridge.playbackQuality, c.quality);
}

using enum PlayerBridgeOutcome;
constexpr auto kUnstarted = FenkYTPlayerState::Unstarted;
constexpr auto kSmall = FenkYTPlaybackQuality::Small;

INSTANTIATE_TEST_SUITE_P(
    Rows, PlayerBridge,
    testing::Values(
        BridgeCase{"ApiReady", {{"onYouTubeIframeAPIReady", ""}}, {None}, true, kUnstarted, kSmall},
        BridgeCase{"PlayerReady", {{"onReady", ""}}, {Ready}, false, kUnstarted, kSmall},
        BridgeCase{"Queued", {{"onStateChange", "5"}}, {StateChanged}, false, FenkYTPlayerState::Queued, kSmall},
        BridgeCase{"UnknownState", {{"onStateChange", "7"}}, {None}, false, kUnstarted, kSmall},
        BridgeCase{"Quality", {{"onPlaybackQualityChange", "hd1080"}}, {QualityChanged}, false, kUnstarted,
                   FenkYTPlaybackQuality::HD1080},
        BridgeCase{"UnknownQuality", {{"onPlaybackQualityChange", "4k"}}, {None}, false, kUnstarted, kSmall},
        BridgeCase{"Error", {{"onError", "150"}}, {None}, false, kUnstarted, kSmall},
        BridgeCase{"UnknownEvent", {{"onVolumeChange", "1"}}, {None}, false, kUnstarted, kSmall},
        BridgeCase{"SeveralTogether",
                   {{"onYouTubeIframeAPIReady", ""},
                    {"onReady", ""},
                    {"onStateChange", "3"},
                    {"onPlaybackQualityChange", "hd720"},
                    {"onStateChange", "1"}},
                   {None, Ready, StateChanged, QualityChanged, StateChanged},
                   true,
                   FenkYTPlayerState::Playing,
                   FenkYTPlaybackQuality::HD720}),
    [](const auto& row) { return row.param.name; });

}  // namespace
}  // namespace fenk
