// A nearby-place notice from end to end: the SDK as it ships (libcurl to fenk-platform on loopback, desktop
// notices on a private session bus) in virtual time, from a fix at the seeded office to the page its notice
// links to.
#include "PrivateSessionBus.h"
#include "TestNotificationServer.h"
#include "FenkSDK/FenkManager.h"
#include "FenkSDK/engagement/NoticeLink.h"
#include "FenkSDK/location/LocationNotifications.h"
#include "FenkSDK/location/StoredLocation.h"
#include "adapters/fake/FakeEnvironment.h"
#include "adapters/linux/CurlHttp.h"
#include "adapters/linux/DesktopNotifications.h"
#include "adapters/linux/RedirectingHttp.h"
#include "adapters/linux/TrackedHttp.h"
#include "support/SamplePlatform.h"
#include "support/TemporaryFolder.h"
#include "tools/fenk-platform/PlatformMedia.h"
#include "tools/fenkctl/CountingNotifications.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace std::chrono_literals;

namespace fenk {
namespace {

constexpr LocationCoordinate2D kOffice{40.474937, -3.690480};
constexpr const char* kOfficeMessage = "Lunch offer at the office tower";

std::string fileText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// A registered installation: the manager on the fake dispatcher, every exchange going to the platform, notices
// to a test server on a private bus, opened notices forwarded to the manager as a host does.
struct RegisteredHost {
    RegisteredHost() {
        std::string error;
        platform = PlatformServer::start(
            {.database = platformFolder.path() / "platform.sqlite3", .seed = FENK_PLATFORM_SAMPLE_SEED}, error);
        if (!platform) throw std::runtime_error(error);
        const auto curl = std::make_shared<CurlHttp>(fakes.dispatcher);
        const auto redirected = std::make_shared<RedirectingHttp>(curl, "127.0.0.1:" + std::to_string(platform->port()));
        auto environment = fakes.environment();
        environment.http = std::make_shared<TrackedHttp<FakeDispatcher>>(redirected, fakes.dispatcher);
        environment.notifications = notifications;
        // A desktop host without a window of its own: opened notices show their page in the desktop's browser.
        environment.ui = nullptr;
        Environment::install(environment);
        notifications->setOpenedHandler([](const std::map<std::string, std::string>& userInfo) {
            FenkManager::sharedManager()->handlePushNotification(asPayload(userInfo));
        });
        FenkManager::sharedManager()->registerDevice("sample-app-key", "http://127.0.0.1", true,
                                                     [this](std::optional<std::string> id) { userId = std::move(id); });
        fakes.dispatcher->runUntilIdle();
    }
    ~RegisteredHost() {
        FenkManager::resetSharedManager();
        fakes.dispatcher->runUntilIdle();
        Environment::install(FakeEnvironment().environment());
    }
    RegisteredHost(const RegisteredHost&) = delete;
    RegisteredHost& operator=(const RegisteredHost&) = delete;

    void fixAt(LocationCoordinate2D coordinate) {
        const LocationFix fix{.coordinate = coordinate,
                              .horizontalAccuracy = 10,
                              .timestamp = timestampFromSystemTime(fakes.dispatcher->now())};
        fakes.notificationCenter->post(kPositionReceived, std::make_shared<StoredLocation>(*StoredLocation::fromFix(fix)));
        fakes.dispatcher->runUntilIdle();
    }

    // Runs the main queue until the opened notice opened a page, for at most the server's patience.
    bool waitForOpenedPage() {
        const auto deadline = std::chrono::steady_clock::now() + TestNotificationServer::kServerPatience;
        while (fakes.linkOpener->urls().empty() && std::chrono::steady_clock::now() < deadline) {
            fakes.dispatcher->runUntilIdle();
        }
        return !fakes.linkOpener->urls().empty();
    }

    TemporaryFolder platformFolder;
    TemporaryFolder data;
    std::unique_ptr<PlatformServer> platform;
    PrivateSessionBus bus;
    TestNotificationServer server{bus.address()};
    FakeEnvironment fakes;
    std::shared_ptr<CountingNotifications> notifications = std::make_shared<CountingNotifications>(
        std::make_shared<DesktopNotifications>(data.path() / "notices", fakes.dispatcher->mainQueue(), bus.address()));
    std::optional<std::string> userId;
};

// 15 seconds after a fix at the office its notice shows with the platform's picture, and opening it opens the
// page it links to.
TEST(NoticeDeliveryTest, AFixAtTheOfficeShowsItsNoticeAndOpeningItOpensItsPage) {
    if (!PrivateSessionBus::installed()) GTEST_SKIP() << "dbus-daemon is not installed (Debian package dbus-daemon)";
    RegisteredHost host;
    ASSERT_FALSE(host.bus.address().empty());
    ASSERT_TRUE(host.server.ready());
    ASSERT_TRUE(host.userId && !host.userId->empty() && !host.userId->starts_with("Error")) << host.userId.value_or("");

    host.fixAt(kOffice);
    host.fakes.dispatcher->advance(14'999ms);
    EXPECT_EQ(host.notifications->raised(), 0);
    host.fakes.dispatcher->advance(1ms);
    EXPECT_EQ(host.notifications->raised(), 1);

    const auto shown = host.server.waitFor(kOfficeMessage);
    ASSERT_TRUE(shown);
    EXPECT_EQ(host.server.notifyCount(), 1u);
    const auto imagePath = shown->textHints.find("image-path");
    ASSERT_NE(imagePath, shown->textHints.end());
    ASSERT_TRUE(imagePath->second.starts_with("file://"));
    const auto icon = mediaFile("icon.png");
    ASSERT_TRUE(icon);
    std::string iconBytes = icon->head;
    iconBytes.resize(icon->size, '\0');
    EXPECT_EQ(fileText(imagePath->second.substr(7)), iconBytes);

    host.server.emit("ActionInvoked", shown->id);
    ASSERT_TRUE(host.waitForOpenedPage());
    EXPECT_EQ(host.fakes.linkOpener->urls(),
              std::vector<std::string>{"http://127.0.0.1:" + std::to_string(host.platform->port()) + "/pages/office-lunch"});
}

}  // namespace
}  // namespace fenk
