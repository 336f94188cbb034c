// Push content from the platform to pixels: the manager's presenter, real HTTP against fenk-platform, and the
// GTK toolkit over a host's window, as a host application runs them.
#include "gtk/GtkTestSupport.h"

#include "FenkSDK/FenkManager.h"
#include "FenkSDK/engagement/ContentPresenter.h"
#include "FenkSDK/runtime/NotificationCenter.h"
#include "adapters/fake/FakeDevice.h"
#include "adapters/fake/FakeReachability.h"
#include "adapters/fake/MemoryPreferences.h"
#include "adapters/fake/MemorySecureStore.h"
#include "adapters/gtk/GtkMainQueue.h"
#include "adapters/linux/CurlHttp.h"
#include "adapters/linux/ThreadDispatcher.h"
#include "FenkSDK/ports/Application.h"
#include "support/SamplePlatform.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

namespace fenk {
namespace {

using gtktest::near;
using gtktest::Rendering;
using gtktest::Rgba;

class GtkPushContentTest : public ::testing::Test {
protected:
    void SetUp() override {
        FENK_SKIP_WITHOUT_GTK();
        platform_ = startSamplePlatform(folder_.path());
        mainQueue_.emplace(*dispatcher_);
        window_.emplace(400, 800);
        ui_ = std::make_shared<GtkUi>(window_->get());
        const auto center = std::make_shared<NotificationCenter>();
        Environment::install({
            .dispatcher = dispatcher_,
            .notificationCenter = center,
            .preferences = std::make_shared<MemoryPreferences>(),
            .secureStore = std::make_shared<MemorySecureStore>(),
            .reachability = std::make_shared<FakeReachability>(),
            .application = std::make_shared<Application>(center),
            .http = std::make_shared<CurlHttp>(dispatcher_),
            .device = std::make_shared<FakeDevice>(),
            .location = nullptr,
            .uploadQueue = nullptr,
            .notifications = nullptr,
            .linkOpener = nullptr,
            .ui = ui_,
            .playerScriptAddress = platform_->address() + "/media/player.js",
        });
        manager_ = FenkManager::sharedManager();
    }

    void TearDown() override {
        manager_.reset();
        FenkManager::resetSharedManager();
        Environment::install({});
    }

    void present(FenkPushNotification content) {
        dispatcher_->mainQueue()->async([this, content = std::move(content)] { manager_->presentContent(content); });
    }

    // Waits until the window shows `expected` at (x, y), and keeps the picture under `name`.
    void expectShown(int x, int y, const std::function<bool(Rgba)>& expected, const std::string& name) {
        std::optional<Rendering> rendering;
        gtktest::waitUntil([&] {
            rendering.emplace(GTK_WIDGET(ui_->overlay()));
            return expected(rendering->at(x, y));
        }, 30);
        EXPECT_TRUE(expected(rendering->at(x, y))) << name << ": " << rendering->at(x, y);
        rendering->keepAsScreenshot(name);
    }

    std::string media(const char* name) const { return platform_->address() + "/media/" + name; }

    TemporaryFolder folder_;
    std::unique_ptr<PlatformServer> platform_;
    std::shared_ptr<ThreadDispatcher> dispatcher_ = std::make_shared<ThreadDispatcher>(MainQueueDriver::host);
    std::optional<GtkMainQueue> mainQueue_;
    std::optional<gtktest::TestWindow> window_;
    std::shared_ptr<GtkUi> ui_;
    std::shared_ptr<FenkManager> manager_;
};

TEST_F(GtkPushContentTest, ImageVideoAndOnlinePlayerFromThePlatformReachTheWindow) {
    // The posters' skies: dusk upright, day when wide.
    present({.gType = "image",
             .gSourceImagePortrait = media("poster-portrait.png"),
             .gSourceImageLandscape = media("poster-landscape.png")});
    expectShown(40, 60, [](Rgba colour) { return near(colour, {232, 112, 84}); }, "push-image-portrait");
    gtk_window_set_default_size(window_->get(), 800, 400);
    expectShown(60, 10, [](Rgba colour) { return near(colour, {44, 112, 204}); }, "push-image-landscape");
    gtk_window_set_default_size(window_->get(), 400, 800);
    // Its close button comes after five seconds and closes it.
    GtkWidget* close = gtktest::findNamed(GTK_WIDGET(ui_->overlay()), "close");
    ASSERT_NE(close, nullptr);
    gtktest::waitUntil([&] { return gtk_widget_get_visible(close); });
    gtktest::click(close);
    gtktest::waitUntil([&] { return gtktest::shownIds(ui_->overlay()).empty(); });

    // The clip plays once the player is ready: its first frame is no longer the black behind it.
    present({.gType = "video", .gSourceVideo = media("clip.avi")});
    expectShown(200, 400, [](Rgba colour) { return !near(colour, {0, 0, 0}); }, "push-video");
    manager_->closePopup(Notification{});

    // The page names the video; the stand-in player draws it on a dark box and is started once ready.
    present({.gType = "video:youtube", .gSourceVideo = platform_->address() + "/pages/video"});
    std::optional<std::string> text;
    gtktest::waitUntil([&] {
        if (manager_->presenter().presentations().empty()) return false;
        ui_->evaluateScript(manager_->presenter().presentations().back(), "document.body.innerText",
                            [&](std::optional<std::string> answer) { text = std::move(answer); });
        gtktest::pump();
        return text && text->find("fenkTour01") != std::string::npos && text->find("playing") != std::string::npos;
    }, 30);
    expectShown(200, 700, [](Rgba colour) { return near(colour, {20, 24, 31}, 6); }, "push-player");
    manager_->closePopup(Notification{});
    gtktest::pump();
    EXPECT_TRUE(gtktest::shownIds(ui_->overlay()).empty());
}

}  // namespace
}  // namespace fenk
