// Three generated weeks through fenkctl against fenk-platform: the SDK learns the commuter's two places and
// tags the positions it uploads from inside them.
#include "integration/ShellOutcome.h"
#include "support/SamplePlatform.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace fenk {
namespace {

TEST(FenkctlLearnedPlaces, ThreeWeeksLearnTwoPlacesWhoseLaterUploadsCarryTheirTag) {
    const TemporaryFolder folder;
    const auto platform = startSamplePlatform(folder.path());
    const std::string fenkctl = std::string(FENKCTL_PROGRAM) + " --data-dir '" + (folder.path() / "device").string() +
                                "' --connect-to 127.0.0.1:" + std::to_string(platform->port());

    const Outcome replay =
        runShell(fenkctl + " --json replay --synthetic --weeks 3 --register http://127.0.0.1 sample-app-key 2>&1");
    ASSERT_EQ(replay.exitCode, 0) << replay.output.substr(replay.output.size() - std::min<std::size_t>(replay.output.size(), 2000));
    EXPECT_NE(replay.output.find(R"("placesLearned":2)"), std::string::npos);
    EXPECT_NE(replay.output.find(R"("queued":0)"), std::string::npos);

    const Outcome places = runShell(fenkctl + " places");
    ASSERT_EQ(places.exitCode, 0);
    std::istringstream lines(places.output);
    std::vector<std::string> cells;
    for (std::string line; std::getline(lines, line);) cells.push_back(line.substr(9, 7));  // {"cell":"XXXXXXX"

    ASSERT_EQ(cells.size(), 2U) << places.output;
    const auto requests = platform->requestLog().requests();
    const auto upload = std::ranges::find_if(requests, [](const RecordedRequest& request) {
        return request.path.find("location.update/") != std::string::npos;
    });
    ASSERT_NE(upload, requests.end());
    const auto received = platform->locationsOf(upload->path.substr(upload->path.rfind('/') + 1));
    const auto tagged = std::ranges::count_if(received, [](const ReceivedLocation& location) {
        return location.extra && location.extra->find(",tag:") != std::string::npos;
    });
    EXPECT_GT(tagged, 10) << "of " << received.size() << " uploads";
}

}  // namespace
}  // namespace fenk
