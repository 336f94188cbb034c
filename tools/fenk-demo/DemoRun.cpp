#include "tools/fenk-demo/DemoRun.h"

#include "FenkSDK/FenkManager.h"
#include "FenkSDK/engagement/NoticeKeys.h"
#include "FenkSDK/location/LocationNotifications.h"
#include "FenkSDK/location/PositionUploader.h"
#include "FenkSDK/location/StoredLocation.h"
#include "FenkSDK/places/FenkGeohash.h"
#include "FenkSDK/places/GreatCircle.h"
#include "FenkSDK/places/RelevantPlaceStore.h"
#include "FenkSDK/ports/Application.h"
#include "FenkSDK/runtime/NotificationCenter.h"
#include "adapters/fake/RecordingLinkOpener.h"
#include "adapters/fake/RecordingUi.h"
#include "adapters/location/TraceReplay.h"
#include "tools/fenk-demo/CountingRecordQueue.h"
#include "tools/fenk-demo/DayLog.h"
#include "tools/fenk-demo/DemoPlan.h"
#include "tools/fenk-demo/DemoPlatform.h"
#include "tools/fenk-demo/DemoSeed.h"
#include "tools/fenk-demo/Movement.h"
#include "tools/fenk-demo/NoticeLog.h"
#include "tools/fenk-demo/UploadLedger.h"
#include "tools/fenk-platform/FaultInjector.h"
#include "tools/replay-host/ReplayHost.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <map>
#include <set>

namespace fenk {
namespace {

using namespace std::chrono_literals;

constexpr auto kStep = 10min;
// After the last fix, virtual time runs on until every position is delivered, for at most this long.
constexpr auto kDeliveryWindow = 24h;
// Pauses on the way shorter than this still count as the same way.
constexpr auto kPauseOnTheWay = 3min;
// The map's track keeps a fix this far from the last one kept, to the metre: a few pixels on a city's map.
constexpr double kTrackSpacingMeters = 50;
constexpr double kTrackDegreesPerStep = 1e-5;

SystemTime systemTime(Timestamp timestamp) {
    return systemTimeFromTimestamp(timestamp).value_or(SystemTime{});
}

// The positions and stays the SDK produces, as it announces them.
class PositionWatch {
public:
    explicit PositionWatch(NotificationCenter& center) : center_(center) {
        id_ = center.addObserver(kPositionReceived, nullptr, [this](const Notification& note) {
            const auto record = note.object<StoredLocation>();
            if (!record) return;
            if (record->geohash) cells.insert(*record->geohash);
            if (record->tipo == LocationType::visit && record->arrivalDate && record->departureDate &&
                *record->departureDate < distantFuture()) {
                stays.push_back({systemTime(*record->arrivalDate), systemTime(*record->departureDate)});
            }
        });
    }
    ~PositionWatch() { center_.removeObserver(id_); }
    PositionWatch(const PositionWatch&) = delete;
    PositionWatch& operator=(const PositionWatch&) = delete;

    std::set<std::string> cells;
    std::vector<std::pair<SystemTime, SystemTime>> stays;

private:
    NotificationCenter& center_;
    NotificationCenter::ObserverId id_{};
};

// The way the owner's terms went, as one sentence for the report; none when tracking never started.
std::optional<std::string> acceptTheTerms(const ReplayHost& host, RecordingUi& ui, std::string& error) {
    FakeDispatcher& dispatcher = *host.dispatcher;
    host.environment.application->didFinishLaunching();
    host.environment.application->didBecomeActive();
    dispatcher.runUntilIdle();
    const auto manager = FenkManager::sharedManager();
    const auto presented = ui.callsOf(UiCall::Kind::present);
    const auto legal = std::ranges::find_if(presented, [](const UiCall& call) {
        return call.screen && std::holds_alternative<LegalScreen>(*call.screen);
    });
    if (legal == presented.end()) {
        if (manager->locationManager()) return "The owner asked for no terms: tracking started at the registration.";
        error = "the owner's terms were never shown and tracking did not start";
        return std::nullopt;
    }
    const std::string shownAt = isoSeconds(dispatcher.now());
    // The user reads the summary, accepts (the full terms open) and allows tracking, as the terms page records.
    ui.tap(legal->id, Control::redirect);
    dispatcher.runUntilIdle();
    bool stored = false;
    manager->setUserPermission("permissionTracking", true, [&stored](bool done) { stored = done; });
    dispatcher.runUntilIdle();
    if (!manager->locationManager()) {
        error = stored ? "tracking did not start after the user accepted the terms"
                       : "the platform did not take the user's answer to the terms";
        return std::nullopt;
    }
    return "The owner asks for its terms before tracking: the legal screen showed its summary at " + shownAt +
           ", the user accepted, the full terms opened, the answer went to the platform and tracking started.";
}

// Stretches on the move, from consecutive fixes.
void logMoving(const std::vector<LocationFix>& fixes, DayLog& days) {
    std::optional<std::pair<SystemTime, SystemTime>> way;
    for (std::size_t index = 1; index < fixes.size(); ++index) {
        if (!onTheMove(fixes[index - 1], fixes[index])) continue;
        const SystemTime from = systemTime(fixes[index - 1].timestamp);
        const SystemTime to = systemTime(fixes[index].timestamp);
        if (way && from - way->second <= kPauseOnTheWay) {
            way->second = to;
            continue;
        }
        if (way) days.addSpan("moving", way->first, way->second);
        way = std::pair{from, to};
    }
    if (way) days.addSpan("moving", way->first, way->second);
}

std::vector<MapPoint> thinnedTrack(const std::vector<LocationFix>& fixes) {
    std::vector<MapPoint> track;
    LocationCoordinate2D kept{};
    for (const LocationFix& fix : fixes) {
        if (!track.empty() && distanceMeters(kept, fix.coordinate) < kTrackSpacingMeters) continue;
        kept = fix.coordinate;
        const auto rounded = [](double degrees) { return std::round(degrees / kTrackDegreesPerStep) * kTrackDegreesPerStep; };
        track.push_back({rounded(fix.coordinate.latitude), rounded(fix.coordinate.longitude)});
    }
    return track;
}

std::vector<LearnedPlace> learnedPlaces(const RelevantPlaceMap& places) {
    std::vector<LearnedPlace> learned;
    for (const auto& [cell, place] : places) {
        const auto box = FenkGeohash::decode(cell);
        if (!box) continue;
        const auto when = [](const std::optional<Timestamp>& time) {
            return time ? isoSeconds(systemTime(*time)) : std::string();
        };
        learned.push_back({.cell = cell,
                           .type = place.type.value_or(""),
                           .latitude = (box->latitude.min + box->latitude.max) / 2,
                           .longitude = (box->longitude.min + box->longitude.max) / 2,
                           .stays = place.numStays.value_or(0),
                           .firstSeen = when(place.initialDate),
                           .lastSeen = when(place.finalDate)});
    }
    return learned;
}

std::vector<RaisedNotice> raisedNotices(const NoticeLog& notices) {
    std::vector<RaisedNotice> raised;
    for (const auto& [time, request] : notices.entries()) {
        // Each seeded place's link ends in "/pages/{place id}".
        std::string placeId;
        if (const auto link = request.userInfo.find(std::string(noticeKeys::kLinkUrl)); link != request.userInfo.end()) {
            placeId = link->second.substr(link->second.rfind('/') + 1);
        }
        raised.push_back({.time = isoSeconds(time), .placeId = std::move(placeId), .title = request.title});
    }
    return raised;
}

Fence asFence(const CircularRegion& region) {
    return {.identifier = region.identifier,
            .latitude = region.center.latitude,
            .longitude = region.center.longitude,
            .radius = region.radius,
            .aroundPlace = isPlaceRegion(region.identifier)};
}

std::int64_t placesKnown(SecureStore& store) {
    return static_cast<std::int64_t>(RelevantPlaceStore(store).load().value_or(RelevantPlaceMap{}).size());
}

// The SDK's session for one run: the environment installed with the run's witnesses, and everything released
// at the end, the shared manager and the open connections to the platform with it, however the run ends.
class RunSession {
public:
    explicit RunSession(ReplayHost& host)
        : queue(std::make_shared<CountingRecordQueue>(host.environment.uploadQueue)),
          notices(std::make_shared<NoticeLog>(host.dispatcher)),
          ui(std::make_shared<RecordingUi>(host.dispatcher->mainQueue())),
          ledger(std::make_shared<UploadLedger>(host.environment.http)),
          host_(host) {
        ui->setWindow(Size{400, 800});
        host.environment.http = ledger;
        host.environment.uploadQueue = queue;
        host.environment.notifications = notices;
        host.environment.linkOpener = std::make_shared<RecordingLinkOpener>();
        host.environment.ui = ui;
        Environment::install(host.environment);
    }
    ~RunSession() {
        FenkManager::resetSharedManager();
        host_.dispatcher->runUntilIdle();
        Environment::install({});
    }
    RunSession(const RunSession&) = delete;
    RunSession& operator=(const RunSession&) = delete;

    const std::shared_ptr<CountingRecordQueue> queue;
    const std::shared_ptr<NoticeLog> notices;
    const std::shared_ptr<RecordingUi> ui;
    const std::shared_ptr<UploadLedger> ledger;

private:
    ReplayHost& host_;
};

// The fixes fed in virtual time with the plan's trouble on the way, then time run on until every position is
// delivered; the days and the fences are logged as they pass.
class TroubledReplay {
public:
    TroubledReplay(ReplayHost& host, PlatformServer& platform, const PositionWatch& watch, DayLog& days,
                   const std::function<void(const DayProgress&)>& progress)
        : host_(host),
          platform_(platform),
          uploader_(*FenkManager::sharedManager()->positionUploader()),
          watch_(watch),
          days_(days),
          progress_(progress) {}

    void run(const std::vector<LocationFix>& fixes, const DemoPlan& plan) {
        {
            TraceReplay feed(host_.engine, host_.dispatcher, fixes);
            feed.start();
            host_.dispatcher->runUntilIdle();
            while (!feed.finished()) {
                const SystemTime now = host_.dispatcher->now();
                setOffline(plan.offline[0].holds(now) || plan.offline[1].holds(now));
                setFaults(plan.faults.holds(now));
                step(kStep);
            }
        }
        setOffline(false);
        setFaults(false);
        for (auto waited = 0min; uploader_.waiting() > 0 && waited < kDeliveryWindow; waited += 1min) step(1min);
        for (; day_ < days_.count(); ++day_) endDay(day_);
    }

    std::vector<Fence> fences() const {
        std::vector<Fence> all;
        for (const auto& [identifier, fence] : fences_) all.push_back(fence);
        return all;
    }

private:
    void step(Duration duration) {
        host_.dispatcher->advance(duration);
        const SystemTime now = host_.dispatcher->now();
        days_.noteQueue(now, static_cast<std::int64_t>(uploader_.waiting()));
        for (const CircularRegion& region : host_.engine->monitoredRegions()) fences_[region.identifier] = asFence(region);
        for (; day_ + 1 < days_.count() && now >= days_.midnightAfter(day_); ++day_) endDay(day_);
    }

    void endDay(std::size_t day) {
        const auto uploaded = static_cast<std::int64_t>(uploader_.statistics().uploaded.load());
        days_.closeDay(day, uploaded, static_cast<std::int64_t>(uploader_.waiting()),
                       placesKnown(*host_.environment.secureStore));
        if (!progress_) return;
        const DaySummary& summary = days_.days()[day];
        progress_({.day = day + 1,
                   .days = days_.count(),
                   .uploads = uploaded,
                   .waiting = summary.queueAtEnd,
                   .stays = static_cast<std::int64_t>(watch_.stays.size()),
                   .places = summary.placesLearned});
    }

    void setOffline(bool down) {
        if (down == offline_) return;
        offline_ = down;
        host_.reachability->report(down ? ReachabilityFlags{} : ReachabilityFlags{ReachabilityFlag::reachable});
    }

    void setFaults(bool on) {
        if (on == faulty_) return;
        faulty_ = on;
        if (!on) return platform_.faults().clear();
        platform_.faults().arm({.fault = {.kind = Fault::Kind::status, .status = 503, .delay = {}},
                                .count = 0,
                                .path = "/soa.api.user.location.update",
                                .every = 1});
    }

    ReplayHost& host_;
    PlatformServer& platform_;
    const PositionUploader& uploader_;
    const PositionWatch& watch_;
    DayLog& days_;
    const std::function<void(const DayProgress&)>& progress_;
    std::map<std::string, Fence> fences_;
    std::size_t day_ = 0;
    bool offline_ = false;
    bool faulty_ = false;
};

// The timeline's stretches and counts, once the run is over.
void logTheDays(const DemoInput& input, const DemoPlan& plan, const PositionWatch& watch, const NoticeLog& notices,
                DayLog& days) {
    for (const LocationFix& fix : input.fixes) days.countFix(systemTime(fix.timestamp));
    logMoving(input.fixes, days);
    for (const auto& [arrival, departure] : watch.stays) {
        days.addSpan("stay", arrival, departure);
        days.countStay(arrival);
    }
    for (const Stretch& spell : plan.offline) days.addSpan("offline", spell.from, spell.to);
    days.addSpan("faults", plan.faults.from, plan.faults.to);
    for (const auto& [time, request] : notices.entries()) days.countNotice(time);
}

// Lost: queued and never through, or through and not held; the platform's records say the rest.
RunFigures figuresOf(const DemoInput& input, const RunSession& session, const PositionUploader& uploader,
                     const PlatformCheck& check) {
    std::int64_t delivered = 0;
    for (const auto& [key, times] : session.ledger->delivered()) delivered += times;
    return {.fixes = static_cast<std::int64_t>(input.fixes.size()),
            .positionsQueued = session.queue->appended(),
            .uploads = static_cast<std::int64_t>(uploader.statistics().uploaded.load()),
            .resends = static_cast<std::int64_t>(uploader.statistics().resent.load()),
            .duplicates = check.records.duplicates,
            .positionsLost = std::max<std::int64_t>(0, session.queue->appended() - delivered) + check.missing,
            .notices = static_cast<std::int64_t>(session.notices->entries().size()),
            .replaySeconds = 0,
            .wallSeconds = 0};
}

}  // namespace

std::optional<DemoOutcome> runDemo(const DemoInput& input, PlatformServer& platform,
                                   const std::function<void(const DayProgress&)>& progress, std::string& error) {
    const SystemTime first = systemTime(input.fixes.front().timestamp);
    const SystemTime last = systemTime(input.fixes.back().timestamp);
    const DemoPlan plan = planDisruptions(first, last);

    std::filesystem::create_directories(input.deviceFolder);
    ReplayHost host = makeReplayHost(input.deviceFolder, first, "127.0.0.1:" + std::to_string(platform.port()));
    const RunSession session(host);
    PositionWatch watch(*host.environment.notificationCenter);

    const auto resourceId = registerForTracking(std::string(kDemoAppKey), "http://127.0.0.1", *host.dispatcher);
    if (!resourceId) {
        error = "the registration failed";
        return std::nullopt;
    }
    const auto legal = acceptTheTerms(host, *session.ui, error);
    if (!legal) return std::nullopt;

    const auto replayStart = std::chrono::steady_clock::now();
    DayLog days(first, last);
    TroubledReplay replay(host, platform, watch, days, progress);
    replay.run(input.fixes, plan);
    const double replaySeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - replayStart).count();
    logTheDays(input, plan, watch, *session.notices, days);

    const PlatformCheck check = checkPlatform(platform, *resourceId, session.ledger->delivered());
    DemoOutcome outcome{
        .facts = {.trace = input.description,
                  .from = isoSeconds(first),
                  .to = isoSeconds(last),
                  .legal = *legal,
                  .track = thinnedTrack(input.fixes),
                  .cells = {watch.cells.begin(), watch.cells.end()},
                  .fences = replay.fences(),
                  .learnedPlaces = learnedPlaces(
                      RelevantPlaceStore(*host.environment.secureStore).load().value_or(RelevantPlaceMap{})),
                  .noticePlaces = input.places,
                  .notices = raisedNotices(*session.notices),
                  .days = days.days(),
                  .platform = check.records,
                  .figures = figuresOf(input, session, *FenkManager::sharedManager()->positionUploader(), check)},
        .resourceId = *resourceId};
    outcome.facts.figures.replaySeconds = replaySeconds;
    return outcome;
}

}  // namespace fenk
