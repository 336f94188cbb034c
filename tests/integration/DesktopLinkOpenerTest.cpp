#include "PrivateSessionBus.h"
#include "TestBusService.h"
#include "adapters/linux/DesktopLinkOpener.h"
#include "adapters/linux/ThreadDispatcher.h"
#include "support/ConsoleCapture.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <iterator>
#include <mutex>

namespace fenk {
namespace {

constexpr const char* kUrl = "https://example.org/a page?x=1&y='2'";

// The desktop portal's link opening, recording the addresses it was given.
class TestPortal {
public:
    explicit TestPortal(const std::string& address)
        : service_(address, "org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
                   [this](sd_bus_message* call) { return openUri(call); }) {}

    std::vector<std::string> opened() {
        std::lock_guard lock(mutex_);
        return opened_;
    }

private:
    int openUri(sd_bus_message* call) {
        const char *parent, *uri;
        if (!sd_bus_message_is_method_call(call, "org.freedesktop.portal.OpenURI", "OpenURI") ||
            sd_bus_message_read(call, "ss", &parent, &uri) < 0) {
            return 0;
        }
        {
            std::lock_guard lock(mutex_);
            opened_.emplace_back(uri);
        }
        return sd_bus_reply_method_return(call, "o", "/org/freedesktop/portal/desktop/request/1_1/t");
    }

    std::mutex mutex_;
    std::vector<std::string> opened_;
    TestBusService service_;
};

enum class Desktop { noBus, busWithoutPortal, portal };

// Links go to the portal; without one, to the stand-in for xdg-open, which receives the address untouched.
TEST(DesktopLinkOpener, OpensThroughThePortalOrElseTheFallbackProgram) {
    if (!PrivateSessionBus::installed()) GTEST_SKIP() << "dbus-daemon is not installed (Debian package dbus-daemon)";
    const struct {
        const char* name;
        Desktop desktop;
        bool programExists;
        bool portalOpens;
        bool programOpens;
        bool consoleLine;
    } cases[] = {
        {"portal", Desktop::portal, true, true, false, false},
        {"bus without a portal", Desktop::busWithoutPortal, true, false, true, false},
        {"no bus", Desktop::noBus, true, false, true, false},
        {"nothing to open with", Desktop::busWithoutPortal, false, false, false, true},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        TemporaryFolder folder;
        const auto program = folder.path() / "xdg-open";
        const auto record = folder.path() / "opened";
        if (row.programExists) {
            std::ofstream(program) << "#!/bin/sh\nprintf '%s' \"$1\" > '" << record.string() << "'\n";
            ::chmod(program.c_str(), 0700);
        }
        PrivateSessionBus bus;
        ASSERT_FALSE(bus.address().empty());
        std::optional<TestPortal> portal;
        if (row.desktop == Desktop::portal) portal.emplace(bus.address());
        ThreadDispatcher dispatcher;
        const auto queue = dispatcher.makeSerialQueue("links", QualityOfService::utility);
        ConsoleCapture console;
        DesktopLinkOpener opener(queue, row.desktop == Desktop::noBus ? "unix:path=/nonexistent/bus" : bus.address(),
                                 program.string());

        opener.openWebPage(kUrl);
        queue->sync([] {});  // the opening, and the program's run, are over

        EXPECT_EQ(portal && portal->opened() == std::vector<std::string>{kUrl}, row.portalOpens);
        std::ifstream recorded(record);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(recorded), {}), row.programOpens ? kUrl : "");
        EXPECT_EQ(console.lines().size(), row.consoleLine ? 1u : 0u);
    }
}

}  // namespace
}  // namespace fenk
