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

TEST(FenkctlRunTest, SilentContentShowsAtTheNextActivationAndALinkOpens) {
    const TemporaryFolder folder;
    const auto platform = startSamplePlatform(folder.path());
    const std::string port = std::to_string(platform->port());
    const auto file = [&folder](const char* name) { return folder.path() / name; };
    std::ofstream(file("xdg-open")) << "#!/bin/sh\necho \"$1\" >> '" << file("opened").string() << "'\n";
    std::filesystem::permissions(file("xdg-open"), std::filesystem::perms::owner_all);
    const std::string link = "http://127.0.0.1:" + port + "/pages/offer";
    std::ofstream(file("session")) << R"({"register":{"platform":"http://127.0.0.1","appKey":"sample-app-key"}}
{"lifecycle":"background"}
{"push":{"gType":"text","aps":{"alert":{"body":"Later"},"content-available":1}}}
not a line of the session
{"lifecycle":"active"}
{"push":{"gType":"d2s-notification","d2s-link-url":")" << link << "\"}}\n";

    const Outcome outcome = runShell("env -u DBUS_SESSION_BUS_ADDRESS PATH='" + folder.path().string() + "':\"$PATH\" " +
                                     FENKCTL_PROGRAM + " --json --data-dir '" + file("data").string() +
                                     "' --connect-to 127.0.0.1:" + port + " run < '" + file("session").string() +
                                     "' 2> '" + file("errors").string() + "'");

    const std::string errors = fileText(file("errors"));
    ASSERT_EQ(outcome.exitCode, 0) << errors;
    EXPECT_TRUE(std::regex_search(outcome.output, std::regex(R"("operation":"registerDevice","value":"\w+")"))) << outcome.output;
    const auto active = outcome.output.find("ApplicationDidBecomeActiveNotification");
    const auto shown = outcome.output.find(R"("name":"FENK_PUSH_PRESENTED","object":null,"userInfo":{"gType":"text"})");
    EXPECT_TRUE(active < shown && shown != std::string::npos) << outcome.output;
    EXPECT_TRUE(std::regex_match(errors, std::regex("fenkctl: line 4: not an instruction: [^\n]+\n"))) << errors;
    EXPECT_EQ(fileText(file("opened")), link + "\n");
}

}  // namespace
}  // namespace fenk
