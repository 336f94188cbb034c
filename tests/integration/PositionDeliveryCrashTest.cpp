// A device process is killed at random instants while it queues positions and resends them after offline
// spells; the next one resumes on the same data folder. Every position a device had queued must reach the
// platform, whole; repeats are allowed, since delivery is at least once.
#include "FenkSDK/FenkManager.h"
#include "FenkSDK/UserDefault.h"
#include "FenkSDK/location/LocationNotifications.h"
#include "FenkSDK/location/PositionDescriptor.h"
#include "FenkSDK/location/PositionUploader.h"
#include "FenkSDK/ports/Application.h"
#include "FenkSDK/runtime/DecimalText.h"
#include "FenkSDK/runtime/NotificationCenter.h"
#include "adapters/fake/FakeDispatcher.h"
#include "adapters/fake/FakeReachability.h"
#include "adapters/linux/CurlHttp.h"
#include "adapters/linux/FileSecureStore.h"
#include "adapters/linux/LinuxDevice.h"
#include "adapters/linux/RedirectingHttp.h"
#include "adapters/linux/SqlitePreferences.h"
#include "adapters/linux/SqliteRecordQueue.h"
#include "adapters/linux/TrackedHttp.h"
#include "support/KilledWorker.h"
#include "support/SamplePlatform.h"
#include "support/TemporaryFolder.h"
#include "support/TraceFixes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <map>
#include <random>
#include <sstream>

using namespace std::chrono_literals;

namespace fenk {
namespace {

constexpr int kRounds = 8;
constexpr int kMinutesBetweenFixes = 5;

// Fix n lies 400 m north of fix n-1, in another cell: it closes the open entry and opens its own.
StoredLocation positionAt(int fix) {
    return *StoredLocation::fromFix(test::fixAt(400.0 * fix, kMinutesBetweenFixes * fix));
}

SystemTime timeOf(int fix) { return *systemTimeFromTimestamp(*positionAt(fix).arrivalDate); }

// Three fixes offline out of every nine, so that positions pile up and go out together when the link returns.
ReachabilityFlags linkAt(int fix) { return fix / 3 % 3 == 2 ? ReachabilityFlags{} : ReachabilityFlag::reachable; }

// The platform in a process of its own, so that the test process holds no thread when it forks a device: a
// fork copies none of the platform's threads, but it would copy the locks they might hold at that instant.
class PlatformProcess {
public:
    explicit PlatformProcess(const std::filesystem::path& folder) {
        int stop[2];
        int ports[2];
        if (::pipe(stop) != 0) return;
        if (::pipe(ports) != 0) {
            ::close(stop[0]);
            ::close(stop[1]);
            return;
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(stop[1]);
            ::close(ports[0]);
            // Failing to start, it sends no port, and the test reads port 0.
            try {
                const auto platform = startSamplePlatform(folder);
                sendReport(ports[1], platform->port());
                for (char ignored; ::read(stop[0], &ignored, 1) > 0;) {}
            } catch (...) {
            }
            ::_exit(0);
        }
        ::close(stop[0]);
        ::close(ports[1]);
        stop_ = stop[1];
        if (::read(ports[0], &port_, sizeof port_) != sizeof port_) port_ = 0;
        ::close(ports[0]);
    }
    ~PlatformProcess() { stop(); }
    PlatformProcess(const PlatformProcess&) = delete;
    PlatformProcess& operator=(const PlatformProcess&) = delete;

    int port() const { return port_; }
    // Closing the pipe ends the platform process; returns once it served its last request and closed its
    // database.
    void stop() {
        if (stop_ >= 0) ::close(stop_);
        stop_ = -1;
        if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    int stop_ = -1;
    int port_ = 0;
};

// A device as it ships, but on virtual time from `firstFix`'s instant and with a scripted link, on `data`.
class Device {
public:
    Device(const std::filesystem::path& data, int platformPort, int firstFix)
        : dispatcher_(std::make_shared<FakeDispatcher>(timeOf(firstFix))),
          network_(std::make_shared<FakeReachability>(linkAt(firstFix))),
          preferences_(std::make_shared<SqlitePreferences>(data / "settings.sqlite3")) {
        const auto http = std::make_shared<RedirectingHttp>(std::make_shared<CurlHttp>(dispatcher_),
                                                            "127.0.0.1:" + std::to_string(platformPort));
        Environment::install({
            .dispatcher = dispatcher_,
            .notificationCenter = center_,
            .preferences = preferences_,
            .secureStore = std::make_shared<FileSecureStore>(data / "secure"),
            .reachability = network_,
            .application = std::make_shared<Application>(center_),
            .http = std::make_shared<TrackedHttp<FakeDispatcher>>(http, dispatcher_),
            .device = std::make_shared<LinuxDevice>(),
            .location = nullptr,
            .uploadQueue = std::make_shared<SqliteRecordQueue>(data / "settings.sqlite3"),
            .notifications = nullptr,
            .linkOpener = nullptr,
        });
        manager_ = FenkManager::sharedManager();
        dispatcher_->runUntilIdle();
    }

    // Registers the first time round; false when no user came of it.
    bool registered() {
        if (preferences_->string(settingsKeys::kKeyResourceId)) return true;
        manager_->registerDevice("sample-app-key", "http://127.0.0.1", true, [](std::optional<std::string>) {});
        dispatcher_->runUntilIdle();
        return preferences_->string(settingsKeys::kKeyResourceId).has_value();
    }

    // Posts fixes from `first` on, reporting each once analysed, until killed; fails when reporting fails.
    int postFixes(int first, int channel) {
        for (int fix = first;; ++fix) {
            if (linkAt(fix) != linkAt(fix - 1)) network_->report(linkAt(fix));
            center_->post(kPositionReceived, std::make_shared<StoredLocation>(positionAt(fix)));
            dispatcher_->runUntilIdle();
            if (!sendReport(channel, fix)) return 1;
            dispatcher_->advance(std::chrono::minutes(kMinutesBetweenFixes));
        }
    }

    // Online until nothing waits, for at most a day; reports how many still wait.
    int drain(int channel) {
        network_->report(ReachabilityFlag::reachable);
        const PositionUploader& uploader = *manager_->positionUploader();
        for (auto waited = 0min; uploader.waiting() > 0 && waited < 24h; waited += 1min) dispatcher_->advance(1min);
        return sendReport(channel, static_cast<int>(uploader.waiting())) ? 0 : 1;
    }

private:
    std::shared_ptr<FakeDispatcher> dispatcher_;
    std::shared_ptr<FakeReachability> network_;
    std::shared_ptr<NotificationCenter> center_ = std::make_shared<NotificationCenter>();
    std::shared_ptr<SqlitePreferences> preferences_;
    std::shared_ptr<FenkManager> manager_;
};

struct Upload {
    int fix;
    bool closed;
    auto operator<=>(const Upload&) const = default;
};

// What the platform files for an upload, without the pieces that depend on more than the position: the
// stay analysis's tag and the link.
std::string essentials(const std::string& latitude, const std::string& longitude, const std::string& extra) {
    std::string text = latitude + " " + longitude + " ";
    std::istringstream pieces(extra);
    for (std::string piece; std::getline(pieces, piece, ',');) {
        if (!piece.starts_with("tag:") && !piece.starts_with("network_lan:")) text += piece + ",";
    }
    return text;
}

// Every upload fixes up to `last` can make, by their essentials: a torn one matches none.
std::map<std::string, Upload> possibleUploads(int last) {
    std::map<std::string, Upload> uploads;
    for (int fix = 0; fix <= last; ++fix) {
        for (const bool closed : {false, true}) {
            StoredLocation record = positionAt(fix);
            if (closed) record.departureDate = positionAt(fix + 1).arrivalDate;
            const auto text = essentials(shortestDecimal(record.latitude), shortestDecimal(record.longitude),
                                         describePosition(record, std::nullopt, dwellSeconds(record), std::nullopt));
            uploads.emplace(text, Upload{fix, closed});
        }
    }
    return uploads;
}

TEST(PositionDeliveryCrashTest, KilledDeviceLosesNoQueuedPositionAndTearsNone) {
    TemporaryFolder platformFolder;
    TemporaryFolder data;
    PlatformProcess platform(platformFolder.path());
    ASSERT_GT(platform.port(), 0) << "the platform did not start";
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> reportsBeforeKill(1, 24);
    // A fix takes a device some milliseconds: the kill lands anywhere in the one or two that follow.
    std::uniform_int_distribution<int> killDelay(0, 40);
    int nextFix = 0;

    for (int round = 1; round <= kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const int first = nextFix;
        const auto end = runKilledWorker<int>(
            reportsBeforeKill(random), std::chrono::milliseconds(killDelay(random)),
            [&](int channel) {
                Device device(data.path(), platform.port(), first);
                return device.registered() ? device.postFixes(first, channel) : 3;
            },
            [&](int fix) { nextFix = fix + 1; });
        ASSERT_TRUE(end.killed) << "the device stopped on its own or hung, status " << end.status;
    }
    int left = -1;
    const auto end = runKilledWorker<int>(
        std::nullopt, {}, [&](int channel) { return Device(data.path(), platform.port(), nextFix).drain(channel); },
        [&](int waiting) { left = waiting; });
    ASSERT_TRUE(end.exitedWith(0) && left == 0) << "the last device could not deliver, " << left << " waiting";
    platform.stop();

    const auto resourceId = SqlitePreferences(data.path() / "settings.sqlite3").string(settingsKeys::kKeyResourceId);
    ASSERT_TRUE(resourceId);
    const auto uploads = possibleUploads(nextFix);
    std::map<Upload, int> arrivals;
    for (const auto& location : startSamplePlatform(platformFolder.path())->locationsOf(*resourceId)) {
        const auto text = essentials(location.latitude.value_or(""), location.longitude.value_or(""), location.extra.value_or(""));
        const auto upload = uploads.find(text);
        ASSERT_NE(upload, uploads.end()) << "a torn or unknown position: " << text;
        ++arrivals[upload->second];
    }
    // Every fix reported was queued opened; every one but the last was closed by the next.
    int repeats = 0;
    for (int fix = 0; fix < nextFix; ++fix) {
        for (const bool closed : {false, true}) {
            if (closed && fix == nextFix - 1) continue;
            const int count = arrivals[{fix, closed}];
            EXPECT_GE(count, 1) << "lost fix " << fix << (closed ? " closed" : " opened");
            repeats += std::max(count - 1, 0);
        }
    }
    std::cout << "[          ] " << nextFix << " fixes over " << kRounds << " kills, " << repeats << " sent again\n";
}

}  // namespace
}  // namespace fenk
