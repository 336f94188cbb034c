// Push content on screen, through the manager as the host drives it: which screen each type gets, what the
// buttons do, when the close button shows, and that closing leaves nothing behind.
#include "FenkSDK/FenkManager.h"
#include "FenkSDK/engagement/ContentPresenter.h"
#include "adapters/fake/FakeEnvironment.h"
#include "support/ImageHeaders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace fenk {
namespace {

using namespace std::chrono_literals;
using Kind = UiCall::Kind;

const std::string kPortraitLink = "https://cdn.example/portrait.png";
const std::string kLandscapeLink = "https://cdn.example/landscape.png";
const std::string kPageLink = "https://video.example/page";

Data bytes(const std::string& text) { return {text.begin(), text.end()}; }

FenkPushNotification content(std::string type) {
    return {.aps = Aps{Alert{"Half price today"}},
            .gType = std::move(type),
            .gSourceVideo = "https://cdn.example/clip.mp4",
            .gTarget = "https://shop.example/offer"};
}

class ContentPresenterTest : public testing::Test {
protected:
    void SetUp() override {
        Environment::install(fakes.environment());
        manager = FenkManager::sharedManager();
        fakes.http->setAutoReply([this](const HttpRequest& request) -> std::optional<FakeHttpReply> {
            const auto reply = replies.find(request.url);
            if (reply == replies.end()) return FakeHttpReply::text("not found", 404);
            return reply->second;
        });
    }
    void TearDown() override {
        manager.reset();
        FenkManager::resetSharedManager();
        Environment::install(FakeEnvironment{}.environment());
    }

    void present(const FenkPushNotification& notification) {
        manager->presentContent(notification);
        fakes.dispatcher->runUntilIdle();
    }

    std::vector<UiCall> presented() const { return fakes.ui->callsOf(Kind::present); }
    ScreenId lastScreen() const {
        const auto& calls = fakes.ui->calls();
        return std::ranges::find(calls.rbegin(), calls.rend(), Kind::present, &UiCall::kind)->id;
    }

    FakeEnvironment fakes;
    std::shared_ptr<FenkManager> manager;
    std::map<std::string, FakeHttpReply> replies;
};

// What each type puts on the screen: the kind of screen (variant index), a toast, or nothing.
TEST_F(ContentPresenterTest, EachTypeGetsItsScreenAndEveryOtherNothing) {
    replies[kPageLink] = FakeHttpReply::text("<a href=\"https://youtu.be/Ab_c-9?t=1\">watch</a>");
    const struct {
        const char* type;
        int screenIndex;  // -1: no screen
        bool toast;
    } cases[] = {
        {"text", -1, true},     {"video", 1, false},   {"video:mov", 1, false}, {"video:mp4", 1, false},
        {"video:youtube", 2, false}, {"image", 0, false}, {"Video", -1, false},  {"banner", -1, false},
    };
    for (const auto& c : cases) {
        const auto before = fakes.ui->calls().size();
        auto notification = content(c.type);
        notification.gSourceVideo = std::string(c.type) == "video:youtube" ? kPageLink : "https://cdn.example/clip.mp4";
        present(notification);
        std::vector<UiCall> calls(fakes.ui->calls().begin() + static_cast<std::ptrdiff_t>(before), fakes.ui->calls().end());
        const auto shown = std::ranges::find(calls, Kind::present, &UiCall::kind);
        EXPECT_EQ(shown == calls.end() ? -1 : static_cast<int>(shown->screen->index()), c.screenIndex) << c.type;
        EXPECT_EQ(std::ranges::count(calls, Kind::showToast, &UiCall::kind), c.toast ? 1 : 0) << c.type;
    }
    const auto toast = fakes.ui->callsOf(Kind::showToast).at(0).toast;
    EXPECT_EQ(toast->message, "Half price today");
    const auto media = std::get<MediaScreen>(*presented().at(0).screen);
    EXPECT_EQ(media.url, "https://cdn.example/clip.mp4");
    EXPECT_EQ(media.mode, MediaMode::video);
    EXPECT_NE(std::get<PageScreen>(*presented().at(3).screen).html.find("\"videoId\":\"Ab_c-9\""), std::string::npos);
}

TEST_F(ContentPresenterTest, WithoutAWindowNothingIsShownNorKept) {
    fakes.ui->setWindow(std::nullopt);
    replies[kPageLink] = FakeHttpReply::text("embed/Ab1");
    for (const char* type : {"text", "video", "video:youtube", "image"}) {
        auto notification = content(type);
        if (std::string(type) == "video:youtube") notification.gSourceVideo = kPageLink;
        present(notification);
    }
    fakes.dispatcher->advance(10s);
    EXPECT_TRUE(fakes.ui->calls().empty());
    EXPECT_TRUE(manager->presenter().presentations().empty());
}

// A page that names no video, or cannot be fetched, would be an empty player over the host's window.
TEST_F(ContentPresenterTest, AnOnlineVideoWithoutAnIdShowsNothing) {
    for (const auto& reply : {FakeHttpReply::text("<p>no video here</p>"), FakeHttpReply::noBody()}) {
        replies[kPageLink] = reply;
        auto notification = content("video:youtube");
        notification.gSourceVideo = kPageLink;
        present(notification);
    }
    EXPECT_TRUE(presented().empty());
}

TEST_F(ContentPresenterTest, TheCloseButtonShowsAfterFiveSecondsOnAnImageOrVideoAndAtOnceOnThePlayer) {
    present(content("image"));
    const ScreenId image = lastScreen();
    fakes.dispatcher->advance(ContentPresenter::kCloseRevealDelay - 1ms);
    EXPECT_TRUE(fakes.ui->callsOf(Kind::revealClose).empty());
    fakes.dispatcher->advance(1ms);
    ASSERT_EQ(fakes.ui->callsOf(Kind::revealClose).size(), 1u);
    EXPECT_EQ(fakes.ui->callsOf(Kind::revealClose)[0].id, image);

    // A screen closed before its five seconds is not asked for its button.
    present(content("video"));
    fakes.ui->tap(lastScreen(), Control::close);
    fakes.dispatcher->advance(10s);
    EXPECT_EQ(fakes.ui->callsOf(Kind::revealClose).size(), 1u);

    replies[kPageLink] = FakeHttpReply::text("v/Ab1");
    auto player = content("video:youtube");
    player.gSourceVideo = kPageLink;
    present(player);
    EXPECT_EQ(fakes.ui->callsOf(Kind::revealClose).back().id, lastScreen());
}

// Each close takes away the screen it belongs to, and only that one: a toast or a later screen no longer
// leaves an earlier one impossible to close.
TEST_F(ContentPresenterTest, ClosingTakesAwayItsOwnScreenOnly) {
    present(content("image"));
    const ScreenId image = lastScreen();
    present(content("video"));
    const ScreenId video = lastScreen();
    present(content("text"));

    fakes.ui->tap(image, Control::close);
    fakes.dispatcher->runUntilIdle();
    EXPECT_EQ(manager->presenter().presentations(), std::vector<ScreenId>{video});
    // Closing the video pauses it first; the host may also close the top-most screen itself.
    fakes.notificationCenter->post(kClosePopup);
    fakes.dispatcher->runUntilIdle();
    EXPECT_TRUE(manager->presenter().presentations().empty());
    EXPECT_EQ(fakes.ui->shown().size(), 1u) << "the toast stays until its time is up";
    fakes.dispatcher->advance(10s);
    EXPECT_TRUE(fakes.ui->shown().empty());
}

TEST_F(ContentPresenterTest, AThousandInterleavedPresentationsAndClosesLeaveNothing) {
    std::vector<ScreenId> screens;
    for (int round = 0; round < 1000; ++round) {
        present(content(round % 3 == 0 ? "image" : round % 3 == 1 ? "video" : "text"));
        if (round % 3 != 2) screens.push_back(lastScreen());
        if (round % 2 == 1) fakes.ui->tap(screens.at(screens.size() / 2), Control::close);
        if (round % 5 == 0) fakes.notificationCenter->post(kClosePopup);
        fakes.dispatcher->runUntilIdle();
    }
    for (const ScreenId id : screens) fakes.ui->tap(id, Control::close);
    fakes.dispatcher->advance(10s);
    EXPECT_TRUE(manager->presenter().presentations().empty());
    EXPECT_TRUE(fakes.ui->shown().empty());
}

TEST_F(ContentPresenterTest, TheImageFollowsTheWindowsShape) {
    replies[kPortraitLink] = FakeHttpReply::text(test::pngHeader(9, 16));
    replies[kLandscapeLink] = FakeHttpReply::text(test::pngHeader(16, 9));
    auto notification = content("image");
    notification.gSourceImagePortrait = kPortraitLink;
    notification.gSourceImageLandscape = kLandscapeLink;
    present(notification);
    const ScreenId id = lastScreen();
    EXPECT_EQ(std::get<ImageScreen>(*presented().back().screen).image, bytes(test::pngHeader(9, 16)));
    fakes.ui->resize(id, {800, 400});
    fakes.ui->resize(id, {400, 800});
    const auto changes = fakes.ui->callsOf(Kind::showImage);
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[0].image, bytes(test::pngHeader(16, 9)));
    EXPECT_EQ(changes[1].image, bytes(test::pngHeader(9, 16)));
}

// Images come only from the web, within a size that can be held and decoded; anything else leaves the screen
// without its image.
TEST_F(ContentPresenterTest, AnImageThatCannotBeHeldOrDecodedIsLeftOut) {
    const struct {
        const char* name;
        std::string link;
        FakeHttpReply reply;
        std::size_t padding = 0;
        bool fetched = true;
    } cases[] = {
        {"served", kPortraitLink, FakeHttpReply::text(test::pngHeader(4, 4))},
        {"a space escaped", "https://cdn.example/my photo.png", FakeHttpReply::text(test::pngHeader(4, 4))},
        {"17 MiB", kPortraitLink, FakeHttpReply::text(test::pngHeader(4, 4)), 17u << 20},
        {"too many pixels", kPortraitLink, FakeHttpReply::text(test::pngHeader(100000, 100000))},
        {"not an image", kPortraitLink, FakeHttpReply::text("<html>")},
        {"a local file", "file:///dev/zero", FakeHttpReply::text(test::pngHeader(4, 4)), 0, false},
    };
    for (const auto& c : cases) {
        auto reply = c.reply;
        reply.body->resize(reply.body->size() + c.padding, 'x');
        replies.clear();
        replies[c.link == kPortraitLink ? kPortraitLink : "https://cdn.example/my%20photo.png"] = reply;
        const auto sent = fakes.http->requests().size();
        auto notification = content("image");
        notification.gSourceImagePortrait = c.link;
        present(notification);
        const auto image = std::get<ImageScreen>(*presented().back().screen).image;
        EXPECT_EQ(image.has_value(), std::string(c.name) == "served" || std::string(c.name) == "a space escaped") << c.name;
        EXPECT_EQ(fakes.http->requests().size() - sent, c.fetched ? 1u : 0u) << c.name;
    }
}

TEST_F(ContentPresenterTest, TheRedirectButtonOpensOnlyAWebLink) {
    for (const std::optional<std::string>& target :
         {std::optional<std::string>("https://shop.example/offer"), std::optional<std::string>()}) {
        auto notification = content("video");
        notification.gTarget = target;
        present(notification);
        fakes.ui->tap(lastScreen(), Control::redirect);
    }
    const auto opened = fakes.ui->callsOf(Kind::openExternal);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_TRUE(opened[0].text.starts_with("https://shop.example/offer?isAdvertising=true&resourceId=")) << opened[0].text;
}

// The player starts once it says it is ready; events arrive as script messages and as the page's own links.
TEST_F(ContentPresenterTest, ThePlayerPlaysWhenReadyAndClosesWithoutAnnouncingIt) {
    replies[kPageLink] = FakeHttpReply::text("watch?v=Ab1");
    auto notification = content("video:youtube");
    notification.gSourceVideo = kPageLink;
    present(notification);
    const ScreenId id = lastScreen();
    fakes.ui->pageMessage(id, R"({"event":"onReady","data":""})");
    EXPECT_TRUE(fakes.ui->callsOf(Kind::evaluateScript).empty()) << "not ready before the script has loaded";
    EXPECT_FALSE(fakes.ui->navigate(id, "ytplayer://onYouTubeIframeAPIReady?data="));
    EXPECT_TRUE(fakes.ui->navigate(id, "https://video.example/about"));
    fakes.ui->pageMessage(id, R"({"event":"onReady","data":""})");
    fakes.ui->pageMessage(id, R"({"event":"onStateChange","data":"1"})");
    fakes.ui->pageMessage(id, R"({"event":"onReady","data":""})");
    auto scripts = fakes.ui->callsOf(Kind::evaluateScript);
    ASSERT_EQ(scripts.size(), 2u);
    EXPECT_EQ(scripts[0].text, "player.playVideo();");
    EXPECT_EQ(scripts[1].text, "player.pauseVideo();");

    std::vector<std::string> posted;
    fakes.notificationCenter->addObserver(kClosePopup, nullptr, [&](const Notification&) { posted.emplace_back(); });
    fakes.ui->tap(id, Control::close);
    EXPECT_EQ(fakes.ui->callsOf(Kind::evaluateScript).back().text, "player.stopVideo();");
    EXPECT_TRUE(fakes.ui->shown().empty());
    EXPECT_TRUE(posted.empty());
}

TEST_F(ContentPresenterTest, OnlyWebLinksOpenInTheBrowser) {
    for (const char* link : {"https://example.com/terms", "file:///etc/passwd", "javascript:alert(1)", "https://"}) {
        manager->openWebPage(link);
    }
    manager->openWebPage(std::nullopt);
    const auto opened = fakes.ui->callsOf(Kind::openInAppBrowser);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].text, "https://example.com/terms");
}

}  // namespace
}  // namespace fenk
