#include "FilePermissions.h"
#include "PrivateSessionBus.h"
#include "TestNotificationServer.h"
#include "adapters/linux/DesktopNotifications.h"
#include "adapters/linux/ThreadDispatcher.h"
#include "contract/UserNotificationsContract.h"
#include "support/ConsoleCapture.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

using namespace std::chrono_literals;

namespace fenk {
namespace {

constexpr auto kPatience = 20s;

// An adapter on a private bus, with its main queue on a thread and its images in a temporary data folder.
struct DesktopNotificationsDriver {
    std::shared_ptr<UserNotifications> notifications() { return adapter; }
    bool open(const NotificationRequest& request) {
        const auto shown = server.waitFor(request.title);
        if (shown) server.emit("ActionInvoked", shown->id);
        return shown.has_value();
    }
    void pump() {}
    Duration patience() const { return kPatience; }
    std::optional<std::string> unavailableReason() const {
        if (!PrivateSessionBus::installed()) return "dbus-daemon is not installed (Debian package dbus-daemon)";
        if (bus.address().empty() || !server.ready()) return "the private session bus did not start";
        return std::nullopt;
    }

    std::filesystem::path noticesFolder() const { return data.path() / "notices"; }

    TemporaryFolder data;
    ThreadDispatcher dispatcher;
    PrivateSessionBus bus;
    TestNotificationServer server{bus.address()};
    std::shared_ptr<DesktopNotifications> adapter =
        std::make_shared<DesktopNotifications>(noticesFolder(), dispatcher.mainQueue(), bus.address());
};

using DesktopNotificationsTest = contract::UserNotificationsContract<DesktopNotificationsDriver>;

std::string fileText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// Each kind of image reaches the server as a private file named after the notice, which lives as long as it.
TEST_F(DesktopNotificationsTest, ImageLivesInAPrivateFileWhileItsNoticeIsShown) {
    const struct {
        std::string signature;
        std::string identifier;
        std::string fileName;
        std::string nameInUri;
    } cases[] = {
        {"\x89PNG\r\n\x1a\n", "../png", "%2E%2E%2Fpng.png", "%252E%252E%252Fpng.png"},
        {"\xff\xd8\xff\xe0", "jpeg", "jpeg.jpg", "jpeg.jpg"},
        {"GIF89a", "gif", "gif.gif", "gif.gif"},
        {std::string("RIFF\0\0\0\0WEBP", 12), "web p", "web%20p.webp", "web%2520p.webp"},
    };
    auto& driver = this->driver_;
    driver.adapter->setOpenedHandler(this->log_.handler());
    // Opening it shows that the signals sent before were handled.
    driver.adapter->add({"barrier", "Barrier", {}, std::nullopt});
    const auto barrier = driver.server.waitFor("Barrier");
    ASSERT_TRUE(barrier);
    std::size_t barriers = 0;
    for (const auto& [signature, identifier, fileName, nameInUri] : cases) {
        SCOPED_TRACE(fileName);
        const std::string bytes = signature + "image bytes";
        driver.adapter->add({identifier, fileName, {}, toData(bytes)});
        const auto shown = driver.server.waitFor(fileName);
        ASSERT_TRUE(shown);
        const auto file = driver.noticesFolder() / fileName;
        EXPECT_EQ(shown->textHints.at("image-path"), "file://" + (driver.noticesFolder() / nameInUri).string());
        EXPECT_EQ(shown->actions, (std::vector<std::string>{"default", "Open"}));
        EXPECT_EQ(fileText(file), bytes);
        EXPECT_EQ(permissionsOf(file), 0600);
        EXPECT_EQ(permissionsOf(driver.noticesFolder()), 0700);

        driver.server.emit("NotificationClosed", shown->id);
        driver.server.emit("ActionInvoked", barrier->id);
        ASSERT_TRUE(this->log_.waitForCount(++barriers, kPatience));
        EXPECT_FALSE(std::filesystem::exists(file));
    }
}

TEST(DesktopNotificationsStart, SweepsImagesAnEarlierRunLeft) {
    TemporaryFolder data;
    const auto folder = data.path() / "notices";
    std::filesystem::create_directory(folder);
    std::ofstream(folder / "left.png") << "image";
    ThreadDispatcher dispatcher;
    DesktopNotifications adapter(folder, dispatcher.mainQueue(), "unix:path=/nonexistent");
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

// Without a bus or a server the notice is dropped, its image with it, and the console says why.
TEST(DesktopNotificationsFailure, DropsTheNoticeAndSaysWhy) {
    if (!PrivateSessionBus::installed()) GTEST_SKIP() << "dbus-daemon is not installed (Debian package dbus-daemon)";
    PrivateSessionBus bus;
    ASSERT_FALSE(bus.address().empty());
    const struct {
        std::string address;
        std::string line;
    } cases[] = {
        {"unix:path=/nonexistent/bus", "Cannot reach the session bus"},
        {bus.address(), "No notification server on the session bus"},
    };
    for (const auto& [address, line] : cases) {
        SCOPED_TRACE(line);
        TemporaryFolder data;
        ThreadDispatcher dispatcher;
        ConsoleCapture console;
        DesktopNotifications adapter(data.path(), dispatcher.mainQueue(), address);
        adapter.add({"dropped", "Dropped", {}, toData("GIF87a")});
        ASSERT_TRUE(console.waitForLines(1, kPatience));
        EXPECT_NE(console.lines().front().find(line), std::string::npos) << console.lines().front();
        EXPECT_TRUE(std::filesystem::is_empty(data.path()));
    }
}

}  // namespace

namespace contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Desktop, UserNotificationsContract, DesktopNotificationsDriver);
}  // namespace contract
}  // namespace fenk
