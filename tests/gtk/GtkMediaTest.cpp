#include "FenkSDK/ui/PlayerEvents.h"
#include "FenkSDK/ui/PlayerPage.h"
#include "gtk/GtkTestSupport.h"
#include "gtk/LoopbackFiles.h"
#include "support/TemporaryFolder.h"
#include "tools/fenk-platform/PlayerScript.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace fenk {
namespace {

// One-second clips made once for the suite, and the platform's stand-in player script, served on 127.0.0.1.
class GtkMediaTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (gtktest::gtkUnavailable()) return;
        folder_.emplace();
        const std::string path = folder_->path().string();
        const std::string launch = std::string(GST_LAUNCH_PROGRAM) + " -q ";
        made_ = std::system((launch + "videotestsrc num-buffers=25 pattern=red ! "
                                      "video/x-raw,width=160,height=120,framerate=25/1 ! vp8enc ! webmmux ! "
                                      "filesink location=" + path + "/clip.webm").c_str()) == 0 &&
                std::system((launch + "audiotestsrc num-buffers=10 samplesperbuffer=4410 ! audio/x-raw,rate=44100 ! "
                                      "wavenc ! filesink location=" + path + "/clip.wav").c_str()) == 0;
        std::ofstream(folder_->path() / "player.js") << playerScript();
        files_.emplace(folder_->path());
    }
    static void TearDownTestSuite() {
        files_.reset();
        folder_.reset();
    }

    void SetUp() override {
        FENK_SKIP_WITHOUT_GTK();
        ASSERT_TRUE(made_) << "gst-launch-1.0 could not make the test clips";
        ui_.emplace(window_.emplace(400, 800).get());
    }

    static inline std::optional<TemporaryFolder> folder_;
    static inline std::optional<gtktest::LoopbackFiles> files_;
    static inline bool made_ = false;
    std::optional<gtktest::TestWindow> window_;
    std::optional<GtkUi> ui_;
};

// Video and audio are ready, then play to their end when the core plays them, whether it asks once they are
// ready or at once; an address with nothing behind it fails. The video keeps its last frame.
TEST_F(GtkMediaTest, MediaReportsReadyThenEndedOrFailed) {
    const struct {
        const char* name;
        MediaMode mode;
        const char* path;
        bool playAtOnce;
        std::vector<MediaEvent> expected;
    } cases[] = {
        {"video", MediaMode::video, "/clip.webm", false, {MediaEvent::ready, MediaEvent::ended}},
        {"audio", MediaMode::audio, "/clip.wav", false, {MediaEvent::ready, MediaEvent::ended}},
        {"audio played before it is ready", MediaMode::audio, "/clip.wav", true, {MediaEvent::ready, MediaEvent::ended}},
        {"missing", MediaMode::video, "/missing.webm", true, {MediaEvent::failed}},
    };
    ScreenId id = 1;
    for (const auto& media : cases) {
        SCOPED_TRACE(media.name);
        std::vector<MediaEvent> events;
        UiEvents handlers;
        handlers.media = [&](ScreenId shown, MediaEvent event) {
            EXPECT_EQ(shown, id);
            events.push_back(event);
            if (event == MediaEvent::ready && !media.playAtOnce) ui_->play(shown);
        };
        ui_->setEvents(handlers);
        ui_->present(id, MediaScreen{media.mode, files_->url(media.path), std::nullopt, false});
        if (media.playAtOnce) ui_->play(id);
        gtktest::waitUntil([&] { return events.size() >= media.expected.size(); });
        EXPECT_EQ(events, media.expected);
        if (media.mode == MediaMode::video && events == media.expected && events.back() == MediaEvent::ended) {
            const gtktest::Rendering lastFrame(GTK_WIDGET(ui_->overlay()));
            EXPECT_TRUE(gtktest::near(lastFrame.at(200, 400), {255, 0, 0}, 40)) << lastFrame.at(200, 400);
            lastFrame.keepAsScreenshot("media-portrait");
        }
        ui_->dismiss(id++);
    }
}

// The player page composed by the core loads its player script, reports the player's events as page
// messages, and plays when the core runs script in it.
TEST_F(GtkMediaTest, ThePlayerPageReportsItsEvents) {
    std::vector<PlayerEvent> received;
    std::vector<std::optional<std::string>> navigations;
    bool loaded = false;
    UiEvents handlers;
    handlers.pageMessage = [&](ScreenId, const std::string& message) {
        const auto event = eventFromMessage(message);
        EXPECT_TRUE(event) << message;
        if (event) received.push_back(*event);
    };
    handlers.loadFinished = [&](ScreenId) { loaded = true; };
    handlers.navigation = [&](ScreenId, const std::optional<std::string>& url) {
        navigations.push_back(url);
        return true;
    };
    ui_->setEvents(handlers);
    const auto page = videoPage("abcDEF12345", {{"controls", "1"}}, files_->url("/player.js"));
    ASSERT_TRUE(page);
    ui_->present(1, PageScreen{*page, files_->url("/")});
    gtktest::waitUntil([&] { return loaded && received.size() >= 2; });
    EXPECT_EQ(received, (std::vector<PlayerEvent>{{"onYouTubeIframeAPIReady", ""}, {"onReady", ""}}));
    EXPECT_FALSE(navigations.empty()) << "the page's load is the core's to decide";

    std::vector<std::optional<std::string>> answers;
    const auto answer = [&](std::optional<std::string> result) { answers.push_back(std::move(result)); };
    ui_->evaluateScript(1, "player.playVideo();", answer);
    ui_->evaluateScript(1, "throw new Error('no');", answer);
    ui_->evaluateScript(1, "({ state: 1 })", answer);
    gtktest::waitUntil([&] { return answers.size() == 3 && received.size() >= 3; });
    ASSERT_GE(received.size(), 3U);
    EXPECT_EQ(received[2], (PlayerEvent{"onStateChange", "1"}));
    // No value answers null, a failed script none.
    EXPECT_EQ(answers, (std::vector<std::optional<std::string>>{"null", std::nullopt, R"({"state":1})"}));
    // The stand-in draws its face, which shows once the web process has painted it.
    ui_->revealClose(1);
    std::optional<gtktest::Rendering> rendering;
    gtktest::waitUntil([&] {
        rendering.emplace(GTK_WIDGET(ui_->overlay()));
        return gtktest::near(rendering->at(20, 400), {0x14, 0x18, 0x1F}, 4);
    });
    rendering->keepAsScreenshot("player-page");
}

// A navigation the core refuses does not happen.
TEST_F(GtkMediaTest, ANavigationTheCoreRefusesDoesNotHappen) {
    std::vector<std::string> messages;
    UiEvents handlers;
    handlers.pageMessage = [&](ScreenId, const std::string& message) { messages.push_back(message); };
    handlers.navigation = [](ScreenId, const std::optional<std::string>& url) {
        return url && url->find("/refused") == std::string::npos;
    };
    ui_->setEvents(handlers);
    const std::string html = "<script>"
                             "window.webkit.messageHandlers.fenkPlayer.postMessage('before');"
                             "location.href = '/refused';"
                             "setTimeout(function () {"
                             "  window.webkit.messageHandlers.fenkPlayer.postMessage('still here'); }, 300);"
                             "</script>";
    ui_->present(1, PageScreen{html, files_->url("/")});
    gtktest::waitUntil([&] { return messages.size() >= 2; });
    EXPECT_EQ(messages, (std::vector<std::string>{"before", "still here"}));
}

}  // namespace
}  // namespace fenk
