// fenkctl run: a session of the host played from standard input against fenk-platform on loopback, with no
// window and no desktop session, so that links go to the desktop's fallback opener (a recording stand-in).
#include "ShellOutcome.h"
#include "support/SamplePlatform.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

namespace fenk {
namespace {

std::string fileText(const std::filesystem::path& path) {
    std::ifstream file(path);
    return {std::istreambuf_iterator<char>(file), {}};
}

void writeFile(const std::filesystem::path& path, const std::string& text) { std::ofstream(path) << text; }

TEST(FenkctlRunTest, SilentContentShowsAtTheNextActivationAndALinkOpens) {
    const TemporaryFolder folder;
    const auto platform = startSamplePlatform(folder.path());
    const auto opener = folder.path() / "bin";
    std::filesystem::create_directory(opener);
    writeFile(opener / "xdg-open", "#!/bin/sh\necho \"$1\" >> '" + (folder.path() / "opened").string() + "'\n");
    std::filesystem::permissions(opener / "xdg-open", std::filesystem::perms::owner_all);

    const std::string link = "http://127.0.0.1:" + std::to_string(platform->port()) + "/pages/offer";
    writeFile(folder.path() / "session",
              R"({"lifecycle":"launch"}
{"register":{"platform":"http://127.0.0.1","appKey":"sample-app-key","tracking":false}}
{"lifecycle":"background"}
{"push":{"gType":"text","aps":{"alert":{"body":"Later"},"content-available":1}}}
not a line of the session
{"lifecycle":"active"}
{"push":{"gType":"d2s-notification","d2s-link-url":")" + link + R"("}}
)");
    const Outcome outcome = runShell("env -u DBUS_SESSION_BUS_ADDRESS PATH='" + opener.string() + "':\"$PATH\" " +
                                     FENKCTL_PROGRAM + " --json --data-dir '" + (folder.path() / "data").string() +
                                     "' --connect-to 127.0.0.1:" + std::to_string(platform->port()) + " run < '" +
                                     (folder.path() / "session").string() + "' 2> '" +
                                     (folder.path() / "errors").string() + "'");

    ASSERT_EQ(outcome.exitCode, 0) << fileText(folder.path() / "errors");
    EXPECT_TRUE(std::regex_search(outcome.output, std::regex(R"("operation":"registerDevice","value":"\w+")"))) << outcome.output;
    const auto active = outcome.output.find("ApplicationDidBecomeActiveNotification");
    const auto presented = outcome.output.find(R"("name":"FENK_PUSH_PRESENTED","object":null,"userInfo":{"gType":"text"})");
    ASSERT_NE(presented, std::string::npos) << outcome.output;
    EXPECT_LT(active, presented) << outcome.output;
    const std::string errors = fileText(folder.path() / "errors");
    EXPECT_TRUE(errors.starts_with("fenkctl: line 5: not an instruction: ") && std::ranges::count(errors, '\n') == 1)
        << errors;
    EXPECT_EQ(fileText(folder.path() / "opened"), link + "\n");
}

}  // namespace
}  // namespace fenk
