#include "GpsdDaemon.h"
#include "support/NmeaFeed.h"
#include "adapters/linux/GpsdReceiver.h"
#include "adapters/linux/ThreadDispatcher.h"
#include "support/ConsoleCapture.h"
#include "support/LoopbackPorts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <functional>
#include <mutex>
#include <vector>

using namespace std::chrono_literals;

namespace fenk {
namespace {

constexpr auto kPatience = 20s;

// What every fix of the feed says: 545.4 m above sea level, heading 84.4° at 22.4 knots.
constexpr double kLatitude = 48 + 7.038 / 60, kLongitude = 11 + 31.0 / 60, kAltitude = 545.4;
constexpr double kSpeed = 22.4 * 1852 / 3600, kCourse = 84.4;

std::string fixAt(SystemTime time) { return nmeaFix(time, kLatitude, kLongitude); }

using Fixes = std::vector<LocationFix>;

// The fixes a receiver delivered, in order.
class FixLog {
public:
    GpsdReceiver::FixHandler handler() {
        return [this](const LocationFix& fix) {
            std::lock_guard lock(mutex_);
            fixes_.push_back(fix);
            added_.notify_all();
        };
    }
    bool waitFor(const std::function<bool(const Fixes&)>& done, std::chrono::milliseconds patience) {
        std::unique_lock lock(mutex_);
        return added_.wait_for(lock, patience, [&] { return done(fixes_); });
    }
    Fixes fixes() const {
        std::lock_guard lock(mutex_);
        return fixes_;
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable added_;
    Fixes fixes_;
};

// A receiver's surroundings: a queue it posts to, on a thread of its own, and the log of what it posted.
class GpsdReceiverTest : public ::testing::Test {
protected:
    std::unique_ptr<GpsdReceiver> startReceiver(int port, GpsdRetry retry = {}) {
        return GpsdReceiver::start("127.0.0.1", std::to_string(port), queue_, log_.handler(), retry);
    }

    ThreadDispatcher dispatcher_;
    const std::shared_ptr<DispatchQueue> queue_ = dispatcher_.makeSerialQueue("fixes", QualityOfService::utility);
    FixLog log_;
};

// With a real gpsd that reads the NMEA sentences the test feeds it.
class GpsdReceiverWithDaemon : public GpsdReceiverTest {
protected:
    void SetUp() override {
        if (!program_) GTEST_SKIP() << "gpsd is not installed (Debian package gpsd)";
        startDaemon();
    }

    void startDaemon() {
        daemon_.reset();
        daemon_ = std::make_unique<GpsdDaemon>(*program_, port_);
        ASSERT_TRUE(daemon_->ready()) << "gpsd did not start on port " << port_;
    }

    SystemTime nextSecond() { return sent_ += 1s; }

    // Feeds a fix a second until the delivered fixes are `done`; the receiver may not listen yet.
    bool feedUntil(const std::function<bool(const Fixes&)>& done) {
        for (const auto deadline = std::chrono::steady_clock::now() + kPatience;
             std::chrono::steady_clock::now() < deadline;) {
            if (!daemon_->feed(fixAt(nextSecond()))) return false;
            if (log_.waitFor(done, 100ms)) return true;
        }
        return false;
    }

    const std::optional<std::string> program_ = GpsdDaemon::program();
    const int port_ = RefusingPort{}.port;  // free once the probe is gone
    std::unique_ptr<GpsdDaemon> daemon_;
    // Yesterday noon: gpsd doubts dates far from its own clock.
    SystemTime sent_ = std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now()) - 12h;
};

TEST_F(GpsdReceiverWithDaemon, DeliversEachFixOnceAsSentAndNothingWithoutAFix) {
    const auto receiver = startReceiver(port_);
    ASSERT_TRUE(feedUntil([](const Fixes& fixes) {
        return std::ranges::any_of(fixes, [](const auto& fix) { return std::isfinite(fix.altitude); });
    })) << "no 3D fix arrived";
    daemon_->feed(fixAt(sent_));  // a second gpsd already reported
    std::vector<Timestamp> withoutFix;
    for (int second = 0; second < 3; ++second) {
        // What a receiver without a fix sends: status V, quality 0 and empty fields.
        const auto [clock, date] = nmeaTime(nextSecond());
        daemon_->feed(sentence("GPRMC," + clock + ",V,,,,,,," + date + ",,,N") +
                      sentence("GPGGA," + clock + ",,,,,0,00,99.99,,,,,,"));
        withoutFix.push_back(timestampFromSystemTime(sent_));
    }
    daemon_->feed(fixAt(nextSecond()));
    const auto last = timestampFromSystemTime(sent_);
    ASSERT_TRUE(log_.waitFor([&](const Fixes& fixes) { return fixes.back().timestamp == last; }, kPatience))
        << "the fix after the seconds without one did not arrive";

    const auto fixes = log_.fixes();
    for (std::size_t index = 0; index < fixes.size(); ++index) {
        const auto& fix = fixes[index];
        SCOPED_TRACE(testing::Message() << "fix " << index << " of " << fixes.size());
        EXPECT_NEAR(fix.coordinate.latitude, kLatitude, 1e-7);
        EXPECT_NEAR(fix.coordinate.longitude, kLongitude, 1e-7);
        EXPECT_NEAR(fix.speed, kSpeed, 1e-3);
        EXPECT_NEAR(fix.course, kCourse, 1e-3);
        // A fix with the GGA sentence in it; gpsd may report one from the RMC sentence alone first.
        if (std::isfinite(fix.altitude)) {
            EXPECT_NEAR(fix.altitude, kAltitude, 1e-3);
            EXPECT_GT(fix.horizontalAccuracy, 0);
        }
        if (index > 0) {
            EXPECT_LT(fixes[index - 1].timestamp, fix.timestamp) << "delivered twice or out of order";
        }
        EXPECT_EQ(std::count(withoutFix.begin(), withoutFix.end(), fix.timestamp), 0) << "a second without a fix";
    }
}

TEST_F(GpsdReceiverWithDaemon, ReconnectsWhenGpsdComesBackAndSaysSoOncePerOutage) {
    ConsoleCapture console;
    const auto receiver = startReceiver(port_, {.first = 10ms, .longest = 40ms});
    ASSERT_TRUE(feedUntil([](const Fixes& fixes) { return !fixes.empty(); }));

    daemon_.reset();
    {
        // Something else on gpsd's port that hangs up at once lets the test see each attempt.
        LoopbackListener impostor(port_);
        for (int attempt = 1; attempt <= 3; ++attempt) ASSERT_TRUE(impostor.accept(kPatience)) << "attempt " << attempt;
    }
    startDaemon();
    const auto before = log_.fixes().size();
    EXPECT_TRUE(feedUntil([&](const Fixes& fixes) { return fixes.size() > before; })) << "no fix after gpsd came back";
    const auto lines = console.lines();
    ASSERT_EQ(lines.size(), 1u) << testing::PrintToString(lines);
    EXPECT_NE(lines[0].find("127.0.0.1:" + std::to_string(port_)), std::string::npos) << lines[0];
}

// Returns how long destroying it took.
std::chrono::steady_clock::duration destructionTime(std::unique_ptr<GpsdReceiver> receiver) {
    const auto start = std::chrono::steady_clock::now();
    receiver.reset();
    return std::chrono::steady_clock::now() - start;
}

TEST_F(GpsdReceiverTest, StopsPromptlyWhileGpsdIsAbsentOrSilent) {
    // So long between attempts that a destructor sitting out the wait would be noticed.
    const GpsdRetry slow{.first = 60s, .longest = 60s};
    {
        ConsoleCapture console;
        RefusingPort absent;
        auto receiver = startReceiver(absent.port, slow);
        ASSERT_TRUE(console.waitForLines(1, kPatience)) << "the failed attempt was not reported";
        EXPECT_LT(destructionTime(std::move(receiver)), 5s) << "while waiting to try again";
    }
    {
        LoopbackListener silent;
        auto receiver = startReceiver(silent.port(), slow);
        ASSERT_TRUE(silent.accept(kPatience) && silent.receive("?WATCH", kPatience)) << "the receiver never asked";
        EXPECT_LT(destructionTime(std::move(receiver)), 5s) << "while waiting for a message";
    }
}

std::chrono::nanoseconds processorTime() {
    timespec time{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
    return std::chrono::seconds{time.tv_sec} + std::chrono::nanoseconds{time.tv_nsec};
}

TEST_F(GpsdReceiverTest, WaitsQuietlyForTheRestOfAMessageSplitInTwo) {
    LoopbackListener gpsd;
    const auto receiver = startReceiver(gpsd.port());
    ASSERT_TRUE(gpsd.accept(kPatience) && gpsd.receive("?WATCH", kPatience));
    const std::string version = R"({"class":"VERSION","release":"3.22","proto_major":3,"proto_minor":14})";
    const std::string tpv = R"({"class":"TPV","mode":2,"time":"2024-05-01T10:00:00.000Z","lat":-33.9,"lon":151.2})";
    ASSERT_TRUE(gpsd.send(version + "\n" + tpv.substr(0, 40)));

    const auto before = processorTime();
    EXPECT_FALSE(log_.waitFor([](const Fixes& fixes) { return !fixes.empty(); }, 300ms));
    EXPECT_LT(processorTime() - before, 30ms) << "the receiver spun while half a message waited";

    ASSERT_TRUE(gpsd.send(tpv.substr(40) + "\n"));
    ASSERT_TRUE(log_.waitFor([](const Fixes& fixes) { return !fixes.empty(); }, kPatience));
    EXPECT_EQ(log_.fixes()[0].coordinate, (LocationCoordinate2D{-33.9, 151.2}));
}

}  // namespace
}  // namespace fenk
