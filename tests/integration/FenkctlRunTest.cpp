// fenkctl run: a session of the host played from standard input against fenk-platform on loopback, with no
// window and no desktop session, so that links go to the desktop's fallback opener (a recording stand-in).
#include "ShellOutcome.h"
#include "support/SamplePlatform.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>

namespace fenk {
namespace {

std::string fileText(const std::filesystem::path& path) {
    std::ifstream file(path);
    return {std::istreambuf_iterator<char>(file), {}};
}

// Plays `session` through fenkctl run against the platform, without a desktop session; a stand-in xdg-open
// records the links the desktop is asked to open in "opened", and standard error goes to "errors".
Outcome playSession(const TemporaryFolder& folder, const PlatformServer& platform, const std::string& options,
                    const std::string& session) {
    const auto file = [&folder](const char* name) { return folder.path() / name; };
    std::ofstream(file("xdg-open")) << "#!/bin/sh\necho \"$1\" >> '" << file("opened").string() << "'\n";
    std::filesystem::permissions(file("xdg-open"), std::filesystem::perms::owner_all);
    std::ofstream(file("session")) << session;
    return runShell("env -u DBUS_SESSION_BUS_ADDRESS PATH='" + folder.path().string() + "':\"$PATH\" " + FENKCTL_PROGRAM +
                    " --json " + options + " --data-dir '" + file("data").string() + "' --connect-to 127.0.0.1:" +
                    std::to_string(platform.port()) + " run < '" + file("session").string() + "' 2> '" +
                    file("errors").string() + "'");
}

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

TEST(FenkctlRunTest, SilentContentShowsAtTheNextActivationAndALinkOpens) {
    const TemporaryFolder folder;
    const auto platform = startSamplePlatform(folder.path());
    const std::string link = "http://127.0.0.1:" + std::to_string(platform->port()) + "/pages/offer";
    const Outcome outcome = playSession(folder, *platform, "", R"({"register":{"platform":"http://127.0.0.1","appKey":"sample-app-key"}}
{"lifecycle":"background"}
{"push":{"gType":"text","aps":{"alert":{"body":"Later"},"content-available":1}}}
not a line of the session
{"lifecycle":"active"}
{"push":{"gType":"d2s-notification","d2s-link-url":")" + link + "\"}}\n");

    const std::string errors = fileText(folder.path() / "errors");
    ASSERT_EQ(outcome.exitCode, 0) << errors;
    EXPECT_TRUE(std::regex_search(outcome.output, std::regex(R"("operation":"registerDevice","value":"\w+")"))) << outcome.output;
    const auto active = outcome.output.find("ApplicationDidBecomeActiveNotification");
    const auto shown = outcome.output.find(R"("name":"FENK_PUSH_PRESENTED","object":null,"userInfo":{"gType":"text"})");
    EXPECT_TRUE(active < shown && shown != std::string::npos) << outcome.output;
    EXPECT_TRUE(std::regex_match(errors, std::regex("fenkctl: line 4: not an instruction: [^\n]+\n"))) << errors;
    EXPECT_EQ(fileText(folder.path() / "opened"), link + "\n");
}

// The sample owner asks for the terms before tracking: the legal screen shows once, the user accepts and says
// yes, and tracking starts; the screens are only printed.
TEST(FenkctlRunTest, TheTermsAreShownOnceAcceptedAndTrackingStarts) {
    const TemporaryFolder folder;
    const auto platform = startSamplePlatform(folder.path());
    const Outcome outcome = playSession(folder, *platform, "--ui print", R"({"register":{"platform":"http://127.0.0.1","appKey":"sample-app-key","tracking":true}}
{"lifecycle":"active"}
{"tap":"accept"}
{"permission":{"name":"permissionTracking","value":true}}
{"lifecycle":"active"}
{"push":{"gType":"d2s-notification","d2s-link-url":"https://owner.example/offer"}}
)");

    ASSERT_EQ(outcome.exitCode, 0) << fileText(folder.path() / "errors");
    const std::string& events = outcome.output;
    EXPECT_EQ(occurrences(events, R"("kind":"legal","url":"http://127.0.0.1:)"), 1u) << events;
    const auto accepted = events.find(R"({"event":"external","url":"http://127.0.0.1:)");
    EXPECT_LT(accepted, events.find(R"("name":"FENK_TAC_SHOWED")")) << events;
    EXPECT_NE(events.find(R"({"event":"completion","operation":"setUserPermission","value":true})"), std::string::npos);
    EXPECT_NE(events.find(R"({"event":"browser","url":"https://owner.example/offer"})"), std::string::npos);
    EXPECT_NE(events.find(R"({"event":"tracking","started":"true"})"), std::string::npos) << events;
}

}  // namespace
}  // namespace fenk
