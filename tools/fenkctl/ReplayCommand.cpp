#include "FenkSDK/FenkManager.h"
#include "FenkSDK/UserDefault.h"
#include "FenkSDK/engagement/NoticeLink.h"
#include "FenkSDK/location/PositionPipeline.h"
#include "FenkSDK/location/PositionUploader.h"
#include "FenkSDK/places/CandidateStayStore.h"
#include "FenkSDK/places/RelevantPlaceStore.h"
#include "FenkSDK/ports/Application.h"
#include "FenkSDK/runtime/NotificationCenter.h"
#include "adapters/linux/DesktopLinkOpener.h"
#include "adapters/linux/DesktopNotifications.h"
#include "adapters/linux/SqlitePreferences.h"
#include "adapters/location/GpxWriter.h"
#include "adapters/location/IsoTime.h"
#include "adapters/location/TraceReplay.h"
#include "tools/fenkctl/CountingNotifications.h"
#include "tools/fenkctl/EventTracing.h"
#include "tools/fenkctl/LocationCommands.h"
#include "tools/fenkctl/TrackingHost.h"
#include "tools/replay-host/ReplayHost.h"
#include "tools/replay-host/ReplayTrace.h"

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <iostream>

namespace fenk {
namespace {

using namespace std::chrono_literals;

// After the last fix, virtual time runs on until every position is delivered, for at most this long.
constexpr auto kDeliveryWindow = std::chrono::hours(24);

double cpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The fixes to replay, or the message that ends the command with exit code 2.
std::variant<std::vector<LocationFix>, std::string> loadTrace(const ReplayCommand& replay) {
    if (const auto* synthetic = std::get_if<SyntheticTrace>(&replay.trace)) {
        return generatedCommuter(synthetic->weeks, synthetic->seed);
    }
    return readReplayTrace(std::get<std::filesystem::path>(replay.trace));
}

// "replaying 45% (3150/7000 fixes)" rewritten in place on a terminal, and cleared at the end.
class ProgressLine {
public:
    ProgressLine() : shown_(::isatty(STDERR_FILENO) == 1) {}
    ~ProgressLine() {
        if (shown_ && percent_ >= 0) std::cerr << "\r\033[K" << std::flush;
    }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void update(std::size_t done, std::size_t total) {
        if (!shown_ || total == 0) return;
        const int percent = static_cast<int>(done * 100 / total);
        if (percent == percent_) return;
        percent_ = percent;
        std::cerr << "\rreplaying " << percent << "% (" << done << '/' << total << " fixes)" << std::flush;
    }

private:
    const bool shown_;
    int percent_ = -1;
};

// The notices the replay raises: shown on the desktop when there is a session bus, and counted either way.
std::shared_ptr<CountingNotifications> makeNotices(const std::filesystem::path& dataFolder, FakeDispatcher& dispatcher) {
    std::shared_ptr<UserNotifications> desktop;
    if (std::getenv("DBUS_SESSION_BUS_ADDRESS") != nullptr) {
        desktop = std::make_shared<DesktopNotifications>(dataFolder / "notices", dispatcher.mainQueue());
    }
    return std::make_shared<CountingNotifications>(std::move(desktop));
}

// Hands an opened notice to the manager, as a host does, while that manager lives.
void forwardOpenedNotices(UserNotifications& notices) {
    notices.setOpenedHandler([manager = std::weak_ptr(FenkManager::sharedManager())](
                                 const std::map<std::string, std::string>& userInfo) {
        if (const auto live = manager.lock()) live->handlePushNotification(asPayload(userInfo));
    });
}

}  // namespace

int runReplay(const CommandLine& commandLine, const std::filesystem::path& dataFolder, const ReplayCommand& replay) {
    auto loaded = loadTrace(replay);
    if (const auto* message = std::get_if<std::string>(&loaded)) {
        std::cerr << "fenkctl: " << *message << '\n';
        return 2;
    }
    const auto fixes = std::get<std::vector<LocationFix>>(std::move(loaded));
    if (replay.writeGpx) {
        const auto gpx = writeGpx(fixes);
        if (!gpx || !writeFile(*replay.writeGpx, *gpx)) {
            std::cerr << "fenkctl: cannot write " << replay.writeGpx->string() << '\n';
            return 1;
        }
    }

    // Virtual time from the trace's first fix: the whole SDK runs on this thread, as fast as it can.
    ReplayHost host = makeReplayHost(dataFolder, *systemTimeFromTimestamp(fixes.front().timestamp), commandLine.connectTo);
    const auto& dispatcher = host.dispatcher;
    const auto& engine = host.engine;
    const auto& preferences = host.preferences;
    const auto notices = makeNotices(dataFolder, *dispatcher);
    host.environment.notifications = notices;
    host.environment.linkOpener =
        std::make_shared<DesktopLinkOpener>(dispatcher->makeSerialQueue("com.fenk.links", QualityOfService::utility));
    const Environment& environment = host.environment;

    EventPrinter printer(commandLine.json ? EventPrinter::Format::json : EventPrinter::Format::plain, std::cout);
    EventTracing tracing(commandLine.json, *environment.notificationCenter, printer);
    LocationTally tally(*environment.notificationCenter, printer);
    Environment::install(environment);
    const double cpuBefore = cpuSeconds();
    if (replay.registration &&
        !registerForTracking(replay.registration->appKey, replay.registration->platform, *dispatcher)) {
        return 1;
    }

    std::vector<std::pair<std::string, double>> delivery;
    {
        ProgressLine progress;
        TraceReplay feed(engine, dispatcher, fixes);
        launchAsTrackingHost(environment);
        forwardOpenedNotices(*notices);
        feed.start();
        dispatcher->runUntilIdle();
        while (!feed.finished()) {
            dispatcher->advance(10min);
            progress.update(feed.ingested(), feed.total());
        }
        const auto manager = FenkManager::sharedManager();
        const PositionUploader* uploader = manager->positionUploader();
        const bool registered = preferences->string(settingsKeys::kKeyResourceId).has_value();
        for (auto waited = 0min; registered && uploader->waiting() > 0 && waited < kDeliveryWindow; waited += 1min) {
            dispatcher->advance(1min);
        }
        delivery = {{"uploaded", static_cast<double>(uploader->statistics().uploaded)},
                    {"queued", static_cast<double>(uploader->waiting())},
                    {"resent", static_cast<double>(uploader->statistics().resent)},
                    {"droppedByFilter", static_cast<double>(manager->positionPipeline()->droppedForAccuracy())}};
        FenkManager::resetSharedManager();
        dispatcher->runUntilIdle();
    }
    const double cpu = cpuSeconds() - cpuBefore;

    std::size_t staysFiled = 0;
    for (const auto& [cell, candidate] : CandidateStayStore(*preferences).load().value_or(CandidateStayMap{})) {
        staysFiled += candidate.stayCount();
    }
    const auto places = RelevantPlaceStore(*environment.secureStore).load().value_or(RelevantPlaceMap{});
    std::vector<std::pair<std::string, double>> counts{{"fixes", static_cast<double>(fixes.size())},
                                         {"positions", static_cast<double>(tally.positions)},
                                         {"visits", static_cast<double>(tally.visits)},
                                         {"regionEntries", static_cast<double>(tally.regionEntries)},
                                         {"regionExits", static_cast<double>(tally.regionExits)},
                                         {"staysFiled", static_cast<double>(staysFiled)},
                                         {"placesLearned", static_cast<double>(places.size())},
                                         {"notices", static_cast<double>(notices->raised())}};
    counts.insert(counts.end(), delivery.begin(), delivery.end());
    counts.emplace_back("cpuSeconds", cpu);
    printer.summary({{"from", formatIsoTime(fixes.front().timestamp).value_or("?")},
                     {"to", formatIsoTime(fixes.back().timestamp).value_or("?")}},
                    counts);
    return 0;
}

}  // namespace fenk
