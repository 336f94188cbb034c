// The reference host program as a new user runs it: one process per command against fenk-platform on
// loopback (served by the test), state kept in a temporary data folder.
#include "ShellOutcome.h"
#include "FenkSDK/UserDefault.h"
#include "FenkSDK/api/FG_Account.h"
#include "FenkSDK/storage/FenkKeyChain.h"
#include "adapters/linux/FileSecureStore.h"
#include "adapters/linux/SqlitePreferences.h"
#include "adapters/location/GpxWriter.h"
#include "support/SamplePlatform.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>

namespace fenk {
namespace {

class FenkctlTest : public ::testing::Test {
protected:
    // Runs fenkctl with the test's data folder, reaching the platform on its port and no desktop session;
    // stdout, and stderr too when asked.
    Outcome fenkctl(const std::string& arguments, bool withErrors = false) const {
        const std::string command = std::string("env -u DBUS_SESSION_BUS_ADDRESS ") + FENKCTL_PROGRAM + " --data-dir '" + data_.path().string() +
                                    "' --connect-to 127.0.0.1:" + std::to_string(platform_->port()) + " " + arguments +
                                    (withErrors ? " 2>&1" : " 2>/dev/null");
        return runShell(command);
    }

    Outcome registerDevice() const { return fenkctl("register --platform http://127.0.0.1 --app-key sample-app-key"); }

    TemporaryFolder data_;
    TemporaryFolder platformFolder_;
    std::unique_ptr<PlatformServer> platform_ = startSamplePlatform(platformFolder_.path());
};

// Each command is a new process: the second registration can only reuse the id through the data folder.
TEST_F(FenkctlTest, RegisteringAgainReusesTheResourceId) {
    const Outcome first = registerDevice();
    ASSERT_EQ(first.exitCode, 0);
    ASSERT_TRUE(std::regex_match(first.output, std::regex("\\w+\n"))) << first.output;
    takeRequestPaths(*platform_);

    const Outcome second = registerDevice();
    EXPECT_EQ(second.exitCode, 0);
    EXPECT_EQ(second.output, first.output);
    const auto paths = takeRequestPaths(*platform_);
    EXPECT_EQ(std::ranges::count(paths, "/1.0/json/exec/soa.api.fenk/soa.api.user.create-anonymous"), 0);
}

TEST_F(FenkctlTest, TokensPermissionsDeviceIdAndJsonEvents) {
    ASSERT_EQ(registerDevice().exitCode, 0);
    const struct {
        std::string arguments;
        std::string output;
    } cases[] = {
        {"token push-token-1", "true\n"},
        {"token --hex 0a0B", "true\n"},
        {"permission get permissionTracking", "\n"},
        {"permission set a,permissionTracking:true false", "true\n"},  // one answer, under that whole name
        {"permission get permissionTracking", "\n"},
        {"permission set permissionTracking true", "true\n"},
        {"permission get permissionTracking", "true\n"},
        // The address grammar has no room for a port.
        {"register --platform " + platform_->address() + " --app-key sample-app-key", "Error parsing URL\n"},
        {"groups list", "group-runners: Runners\ngroup-foodies: Foodies\ngroup-museums: Museum lovers\n"},
        {"groups join group-museums", "true\n"},
        {"groups subscribed", "group-museums: Museum lovers\n"},
        {"groups find FOOD", "group-foodies: Foodies\n"},
        {"groups leave group-museums", "true\n"},
        {"profile", "shopping: high\nsport: medium\nculture: low\n"},
        {"extra a:1,b:2,a:3", "OK\n"},
    };
    for (const auto& [arguments, output] : cases) {
        const Outcome outcome = fenkctl(arguments);
        EXPECT_EQ(outcome.exitCode, 0) << arguments;
        EXPECT_EQ(outcome.output, output) << arguments;
    }

    const Outcome traced = fenkctl("--json token --hex ff");
    EXPECT_EQ(traced.exitCode, 0);
    EXPECT_TRUE(std::regex_match(traced.output, std::regex(R"((\{"event":"[a-z]+",[^\n]*\}\n)+)"))) << traced.output;
    EXPECT_NE(traced.output.find(R"({"event":"completion","operation":"setDataNotificationsToken","value":true})"),
              std::string::npos)
        << traced.output;

    EXPECT_NE(fenkctl("--json groups find run").output.find(
                  R"({"event":"completion","operation":"findGroups","value":[{"resourceId":"group-runners",)"),
              std::string::npos);

    const Outcome deviceId = fenkctl("device-id");
    EXPECT_EQ(deviceId.exitCode, 0);
    EXPECT_EQ(deviceId.output.size(), 37u) << deviceId.output;  // a UUID and the line's end
    EXPECT_EQ(fenkctl("device-id").output, deviceId.output);
}

// Text kept from an earlier session reaches the terminal as visible escapes, never as control characters.
TEST_F(FenkctlTest, PlainOutputEscapesControlCharacters) {
    {
        SqlitePreferences preferences(data_.path() / "settings.sqlite3");
        preferences.setString(settingsKeys::kKeyResourceId, "id\r\nforged\x1b[2J");
        UserDefault(preferences).saveRecord(FG_Account{.resourceId = "id\r\nforged\x1b[2J"},
                                            settingsKeys::kFenkAccountInfo);
        preferences.synchronize();
        FileSecureStore secureStore(data_.path() / "secure");
        FenkKeyChain(secureStore).save(keychainAccounts::kComTarvelFenk, toData("device\\\x07\x7f"));
    }
    EXPECT_EQ(registerDevice().output, "id\\x0d\\x0aforged\\x1b[2J\n");
    EXPECT_EQ(fenkctl("device-id").output, "device\\\\\\x07\\x7f\n");
}

// A replay that registers first reaches the platform: a stop at the seeded office raises its notice, and the
// last position it stored is then named after the seeded area around Madrid.
TEST_F(FenkctlTest, ReplayAtTheOfficeRaisesItsNoticeAndWhereNamesTheCity) {
    EXPECT_EQ(fenkctl("where").output, "(none)\n") << "nothing stored, nothing asked";

    std::vector<LocationFix> stop;
    const Timestamp start = timestampFromSystemTime(SystemTime(std::chrono::sys_days{std::chrono::year{2026} / 3 / 2}));
    for (int minute = 0; minute < 3; ++minute) {
        stop.push_back({.coordinate = {40.474937, -3.690480}, .horizontalAccuracy = 5,
                        .timestamp = start + std::chrono::minutes(minute)});
    }
    const auto trace = data_.path() / "office.gpx";
    std::ofstream(trace) << writeGpx(stop).value();
    const Outcome replay = fenkctl("replay " + trace.string() + " --register http://127.0.0.1 sample-app-key");
    ASSERT_EQ(replay.exitCode, 0);
    EXPECT_NE(replay.output.find("\nnotices: 1\n"), std::string::npos) << replay.output;

    EXPECT_EQ(fenkctl("where").output, "city: Madrid\nregion: Madrid\ncountry: ES\n");
    const Outcome json = fenkctl("--json where");
    EXPECT_NE(json.output.find(R"({"event":"completion","operation":"checkUserLocation",)"
                               R"("value":{"city":"Madrid","country":"ES","region":"Madrid"}})"
                               "\n"),
              std::string::npos)
        << json.output;
}

TEST_F(FenkctlTest, BadArgumentsPrintUsageAndExitTwo) {
    for (const std::string arguments :
         {"", "frobnicate", "token", "token --hex abc", "token --hex 0g", "register --platform x",
          "register --platform x --app-key k --tracking maybe", "device-id extra", "--connect-to 8080 device-id",
          "--data-dir", "replay", "replay a.gpx b.gpx", "replay --synthetic --weeks 0", "replay a.gpx --seed 1",
          "replay --synthetic --seed -1", "track --gpsd nowhere", "track --count 0", "places all",
          "where now", "groups", "groups join", "groups list all", "groups part x", "profile me",
          "extra", "extra a:1 b:2", "push", "push a.json b.json", "--ui web push -", "--ui gtk tour",
          "tour http://127.0.0.1:1", "--ui gtk tour file:///media", "legal", "--ui gtk legal now", "permission",
          "permission get", "permission set permissionTracking maybe", "--ui print push -"}) {
        const Outcome outcome = fenkctl(arguments, true);
        EXPECT_EQ(outcome.exitCode, 2) << arguments;
        EXPECT_NE(outcome.output.find("usage: fenkctl"), std::string::npos) << arguments;
    }
    EXPECT_EQ(fenkctl("--help").exitCode, 0);
}

// A payload is read whole and strictly before anything is shown; a host without a window shows nothing.
TEST_F(FenkctlTest, PushReadsOnlyAWholeWellFormedPayload) {
    const struct {
        std::string payload;
        int exitCode;
        std::string says;
    } cases[] = {
        {R"({"gType":"text","aps":{"alert":{"body":"Hi"}}})", 0, "no window: nothing is shown"},
        {R"({"gType":"text","aps":{"alert":"Hi"}})", 1, "not a push payload"},
        {"{\"gType\":", 1, "not a push payload"},
        {R"({"gType":")" + std::string(70000, 'x') + R"("})", 1, "at most 64 KiB"},
    };
    for (const auto& c : cases) {
        const auto file = data_.path() / "payload.json";
        std::ofstream(file) << c.payload;
        const Outcome outcome = fenkctl("push - < '" + file.string() + "'", true);
        EXPECT_EQ(outcome.exitCode, c.exitCode) << c.payload.substr(0, 60);
        EXPECT_NE(outcome.output.find(c.says), std::string::npos) << outcome.output;
    }
}

}  // namespace
}  // namespace fenk
