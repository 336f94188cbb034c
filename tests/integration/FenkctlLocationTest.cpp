// The reference host program following positions: replaying traces in virtual time, following a real gpsd,
// and printing what it learned. One process per command, state in a temporary data folder.
#include "GpsdDaemon.h"
#include "support/NmeaFeed.h"
#include "ShellOutcome.h"
#include "FenkSDK/places/RelevantPlaceStore.h"
#include "adapters/linux/FileSecureStore.h"
#include "adapters/location/GpxWriter.h"
#include "support/LoopbackPorts.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <regex>
#include <thread>

namespace fenk {
namespace {

using namespace std::chrono_literals;

class FenkctlLocationTest : public ::testing::Test {
protected:
    // Standard output, and standard error too when asked.
    Outcome fenkctl(const std::string& arguments, bool withErrors = false, const std::string& wrapper = "") const {
        return runShell(wrapper + FENKCTL_PROGRAM + " --data-dir '" + data_.path().string() + "' " + arguments +
                        (withErrors ? " 2>&1" : " 2>/dev/null"));
    }

    std::string write(const std::string& name, const std::string& content) const {
        const auto path = data_.path() / name;
        std::ofstream(path, std::ios::binary) << content;
        return path.string();
    }

    TemporaryFolder data_;
};

// The "name: value" line of a plain summary.
std::string summaryValue(const std::string& output, const std::string& name) {
    std::smatch match;
    return std::regex_search(output, match, std::regex("(^|\n)" + name + ": ([^\n]*)")) ? match[2].str() : "";
}

// Two hours walking north, a fix a second or so: 7,000 fixes 2.857 m apart, 20 km in all.
std::vector<LocationFix> twoHourWalk() {
    std::vector<LocationFix> fixes;
    const Timestamp start = timestampFromSystemTime(SystemTime(std::chrono::sys_days{std::chrono::year{2026} / 3 / 2}));
    for (int index = 0; index < 7000; ++index) {
        const double meters = index * 2.857;
        fixes.push_back({.coordinate = {40.0 + meters / 111'195.0, -3.7},
                         .altitude = 650,
                         .horizontalAccuracy = 5,
                         .verticalAccuracy = 8,
                         .speed = 2.78,
                         .course = 0,
                         .timestamp = start + std::chrono::microseconds(std::int64_t{index} * 1'028'571)});
    }
    return fixes;
}

TEST_F(FenkctlLocationTest, ReplaysATwoHourRunAnnouncingAPositionEveryHundredMetres) {
    const auto trace = write("walk.gpx", writeGpx(twoHourWalk()).value());
    const Outcome plain = fenkctl("replay " + trace);
    ASSERT_EQ(plain.exitCode, 0) << plain.output;
    EXPECT_EQ(summaryValue(plain.output, "fixes"), "7000");
    EXPECT_EQ(summaryValue(plain.output, "from"), "2026-03-02T00:00:00.000000Z");
    const int positions = std::stoi(summaryValue(plain.output, "positions"));
    EXPECT_GE(positions, 195);
    EXPECT_LE(positions, 201);
    EXPECT_TRUE(std::regex_search(plain.output, std::regex("^location ezj[0-9b-hjkmnp-z]{4} 40\\.0000000 -3\\.7000000 "
                                                           "2026-03-02T00:00:00\\.000000Z\n")))
        << plain.output.substr(0, 200);

    // JSON shows each record in its stored form.
    const Outcome json = fenkctl("--json replay " + trace);
    ASSERT_EQ(json.exitCode, 0);
    const std::regex record(R"(\{"event":"notification","name":"FENK_POSITION_RECEIVED","object":\{"tipo":\{"rawValue":0\},"geohash":"[0-9b-hjkmnp-z]{7}",)");
    const auto records = std::distance(std::sregex_iterator(json.output.begin(), json.output.end(), record),
                                       std::sregex_iterator());
    EXPECT_EQ(records, positions);
}

TEST_F(FenkctlLocationTest, AGeneratedCommuterReplaysTheSameFromTheGpxItWrote) {
    const std::string gpx = (data_.path() / "commuter.gpx").string();
    const Outcome generated = fenkctl("replay --synthetic --weeks 1 --seed 5 --write-gpx " + gpx);
    ASSERT_EQ(generated.exitCode, 0);
    const Outcome replayed = fenkctl("replay " + gpx);
    ASSERT_EQ(replayed.exitCode, 0);
    for (const char* name : {"fixes", "from", "to", "positions", "visits"}) {
        EXPECT_NE(summaryValue(generated.output, name), "") << name;
        EXPECT_EQ(summaryValue(generated.output, name), summaryValue(replayed.output, name)) << name;
    }
    // Home and work each day, and weekend outings: a dozen stays or more, each arriving and leaving.
    EXPECT_GE(std::stoi(summaryValue(generated.output, "visits")), 24);
}

TEST_F(FenkctlLocationTest, BadTracesEndWithTheirLineAndExitTwo) {
    const std::string gpxHead = R"(<?xml version="1.0"?>
<gpx version="1.1" creator="test"><trk><trkseg>
)";
    const struct {
        const char* name;
        std::string content;
        std::string message;
    } cases[] = {
        {"garbage", "\x01\x02 not a trace", "line 1: "},
        {"empty", "", "no timed points"},
        {"backwards", gpxHead + R"(<trkpt lat="40" lon="-3"><time>2026-03-02T10:00:00Z</time></trkpt>
<trkpt lat="40" lon="-3"><time>2026-03-02T09:00:00Z</time></trkpt>
</trkseg></trk></gpx>)",
         "line 4: time goes backwards"},
        {"untimed", gpxHead + R"(<trkpt lat="40" lon="-3"></trkpt></trkseg></trk></gpx>)", "no timed points"},
        {"cut-short", gpxHead + R"(<trkpt lat="40" lon="-3"><time>2026-03-02T10:00:00Z</ti)", "line 3: "},
        {"bad-checksum", "$GPRMC,100000.00,A,4807.0380,N,01131.0000,E,022.4,084.4,020326,003.1,W*00\r\n", "line 1: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = write(std::string(c.name) + ".trace", c.content);
        const Outcome outcome = fenkctl("replay " + path, true);
        EXPECT_EQ(outcome.exitCode, 2);
        EXPECT_TRUE(outcome.output.starts_with("fenkctl: " + path + ": " + c.message)) << outcome.output;
    }
    const Outcome missing = fenkctl("replay " + (data_.path() / "missing.gpx").string(), true);
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_NE(missing.output.find("missing.gpx"), std::string::npos) << missing.output;
}

TEST_F(FenkctlLocationTest, PlacesPrintsWhatWasLearned) {
    EXPECT_EQ(fenkctl("places").output, "");
    {
        FileSecureStore store(data_.path() / "secure");
        const Timestamp day{std::chrono::sys_days{std::chrono::year{2026} / 3 / 2} -
                            std::chrono::sys_days{std::chrono::year{2001} / 1 / 1}};
        RelevantPlaceStore(store).save({{"ezjmgtw", {"ezjmgtw", day, day + 24h, "home", 12}},
                                        {"ezjmun5", {"ezjmun5", day, std::nullopt, "work", std::nullopt}}});
    }
    const Outcome places = fenkctl("places");
    EXPECT_EQ(places.exitCode, 0);
    EXPECT_EQ(places.output,
              R"({"cell":"ezjmgtw","type":"home","numStays":12,"initialDate":"2026-03-02T00:00:00.000000Z","finalDate":"2026-03-03T00:00:00.000000Z"})"
              "\n"
              R"({"cell":"ezjmun5","type":"work","initialDate":"2026-03-02T00:00:00.000000Z"})"
              "\n");
}

TEST_F(FenkctlLocationTest, TrackFollowsARealGpsdAndShowsItsFixesAsRecords) {
    const auto program = GpsdDaemon::program();
    if (!program) GTEST_SKIP() << "gpsd is not installed (Debian package gpsd)";
    const int port = RefusingPort{}.port;
    GpsdDaemon daemon(*program, port);
    ASSERT_TRUE(daemon.ready()) << "gpsd did not start on port " << port;

    // Fixes 220 m apart for as long as fenkctl runs: it may connect to gpsd only after a while on a busy
    // machine. A fenkctl that never counts three is ended, so that the test fails with what it printed.
    std::atomic<bool> done{false};
    std::thread feeder([&] {
        SystemTime sent = std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now()) - 12h;
        for (int step = 0; !done; ++step) {
            daemon.feed(nmeaFix(sent += 1s, 48.1 + (step % 40) * 0.002, 11.5));
            std::this_thread::sleep_for(200ms);  // a receiver's pace, not a wait for a result
        }
    });
    const Outcome tracked = fenkctl("--json track --gpsd 127.0.0.1:" + std::to_string(port) + " --count 3", false,
                                    "timeout -k 5 120 ");
    done = true;
    feeder.join();

    EXPECT_EQ(tracked.exitCode, 0);
    const std::regex record(R"(\{"event":"notification","name":"FENK_POSITION_RECEIVED","object":\{"tipo":\{"rawValue":0\},"geohash":"u28[0-9b-hjkmnp-z]{4}","latitude":48\.1[0-9]*,"longitude":11\.5[0-9]*,)");
    EXPECT_EQ(std::distance(std::sregex_iterator(tracked.output.begin(), tracked.output.end(), record),
                            std::sregex_iterator()),
              3)
        << tracked.output;
}

}  // namespace
}  // namespace fenk
