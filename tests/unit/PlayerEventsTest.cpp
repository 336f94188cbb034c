#include "FenkSDK/ui/PlayerEvents.h"

#include <gtest/gtest.h>

#include <vector>

namespace fenk {

void PrintTo(const PlayerEvent& event, std::ostream* out) { *out << event.name << '=' << event.data; }

namespace {

TEST(PlayerEvents, ScriptMessagesCarryAnEventNameAndTextData) {
    struct Row {
        std::string_view body;
        std::optional<PlayerEvent> event;
    };
    for (const Row& row : {
             Row{R"({"event":"onStateChange","data":"5"})", PlayerEvent{"onStateChange", "5"}},
             Row{R"({"data":"hd720","event":"onPlaybackQualityChange"})",
                 PlayerEvent{"onPlaybackQualityChange", "hd720"}},
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

TEST(PlayerEvents, BridgeAppliesEveryKnownEventInTurn) {
    using enum PlayerBridgeOutcome;
    using State = FenkYTPlayerState;
    using Quality = FenkYTPlaybackQuality;
    struct Row {
        std::vector<PlayerEvent> events;
        std::vector<PlayerBridgeOutcome> outcomes;
        bool ready = false;
        State state = State::Unstarted;
        Quality quality = Quality::Small;
    };
    for (const Row& row : {
             Row{{{"onYouTubeIframeAPIReady", ""}}, {None}, true},
             Row{{{"onReady", ""}}, {Ready}},
             Row{{{"onStateChange", "5"}}, {StateChanged}, false, State::Queued},
             Row{{{"onStateChange", "7"}}, {None}},
             Row{{{"onPlaybackQualityChange", "hd1080"}}, {QualityChanged}, false, State::Unstarted, Quality::HD1080},
             Row{{{"onPlaybackQualityChange", "4k"}}, {None}},
             Row{{{"onError", "150"}}, {None}},
             Row{{{"onVolumeChange", "1"}}, {None}},
             // Several events arriving together each count.
             Row{{{"onYouTubeIframeAPIReady", ""}, {"onReady", ""}, {"onStateChange", "3"},
                  {"onPlaybackQualityChange", "hd720"}, {"onStateChange", "1"}},
                 {None, Ready, StateChanged, QualityChanged, StateChanged}, true, State::Playing, Quality::HD720},
         }) {
        SCOPED_TRACE(row.events.front().name + "=" + row.events.front().data);
        PlayerBridgeState bridge;
        std::vector<PlayerBridgeOutcome> outcomes;
        for (const PlayerEvent& event : row.events) outcomes.push_back(bridge.apply(event));
        EXPECT_EQ(outcomes, row.outcomes);
        EXPECT_EQ(bridge.ready, row.ready);
        EXPECT_EQ(bridge.playerState, row.state);
        EXPECT_EQ(bridge.playbackQuality, row.quality);
    }
}

}  // namespace
}  // namespace fenk
