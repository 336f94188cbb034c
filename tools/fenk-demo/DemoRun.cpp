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

}  // namespace

std::optional<DemoOutcome> runDemo(const DemoInput& input, PlatformServer& platform,
                                   const std::function<void(const DayProgress&)>& progress, std::string& error) {
    const SystemTime first = systemTime(input.fixes.front().timestamp);
    const SystemTime last = systemTime(input.fixes.back().timestamp);
    const DemoPlan plan = planDisruptions(first, last);

    std::filesystem::create_directories(input.deviceFolder);
    ReplayHost host = makeReplayHost(input.deviceFolder, first, "127.0.0.1:" + std::to_string(platform.port()));
    const auto& dispatcher = host.dispatcher;
    const auto queue = std::make_shared<CountingRecordQueue>(host.environment.uploadQueue);
    const auto notices = std::make_shared<NoticeLog>(dispatcher);
    const auto ui = std::make_shared<RecordingUi>(dispatcher->mainQueue());
    ui->setWindow(Size{400, 800});
    const auto ledger = std::make_shared<UploadLedger>(host.environment.http);
    host.environment.http = ledger;
    host.environment.uploadQueue = queue;
    host.environment.notifications = notices;
    host.environment.linkOpener = std::make_shared<RecordingLinkOpener>();
    host.environment.ui = ui;
    Environment::install(host.environment);
    PositionWatch watch(*host.environment.notificationCenter);

    const auto resourceId = registerForTracking(std::string(kDemoAppKey), "http://127.0.0.1", *dispatcher);
    if (!resourceId) {
        error = "the registration failed";
        return std::nullopt;
    }
    DemoOutcome outcome;
    DemoFacts& facts = outcome.facts;
    outcome.resourceId = *resourceId;
    const auto legal = acceptTheTerms(host, *ui, error);
    if (!legal) return std::nullopt;
    facts.legal = *legal;

    const auto replayStart = std::chrono::steady_clock::now();
    const auto manager = FenkManager::sharedManager();
    const PositionUploader& uploader = *manager->positionUploader();
    DayLog days(first, last);
    std::map<std::string, Fence> fences;
    bool offline = false;
    bool faulty = false;
    FaultOrder refusals{.fault = {.kind = Fault::Kind::status, .status = 503, .delay = {}},
                        .count = 0,
                        .path = "/soa.api.user.location.update",
                        .every = 1};
    std::size_t day = 0;
    const auto endDay = [&](std::size_t ended) {
        days.closeDay(ended, static_cast<std::int64_t>(uploader.statistics().uploaded.load()),
                      static_cast<std::int64_t>(uploader.waiting()), placesKnown(*host.environment.secureStore));
        const DaySummary& summary = days.days()[ended];
        if (progress) {
            progress({.day = ended + 1,
                      .days = days.count(),
                      .uploads = static_cast<std::int64_t>(uploader.statistics().uploaded.load()),
                      .waiting = summary.queueAtEnd,
                      .stays = static_cast<std::int64_t>(watch.stays.size()),
                      .places = summary.placesLearned});
        }
    };
    const auto step = [&](Duration duration) {
        dispatcher->advance(duration);
        const SystemTime now = dispatcher->now();
        days.noteQueue(now, static_cast<std::int64_t>(uploader.waiting()));
        for (const CircularRegion& region : host.engine->monitoredRegions()) fences[region.identifier] = asFence(region);
        for (; day + 1 < days.count() && now >= days.midnightAfter(day); ++day) endDay(day);
    };
    const auto setNetwork = [&](bool down) {
        if (down == offline) return;
        offline = down;
        host.reachability->report(down ? ReachabilityFlags{} : ReachabilityFlags{ReachabilityFlag::reachable});
    };
    const auto setFaults = [&](bool on) {
        if (on == faulty) return;
        faulty = on;
        if (on) {
            platform.faults().arm(refusals);
        } else {
            platform.faults().clear();
        }
    };

    {
        TraceReplay feed(host.engine, dispatcher, input.fixes);
        feed.start();
        dispatcher->runUntilIdle();
        while (!feed.finished()) {
            const SystemTime now = dispatcher->now();
            setNetwork(plan.offline[0].holds(now) || plan.offline[1].holds(now));
            setFaults(plan.faults.holds(now));
            step(kStep);
        }
        setNetwork(false);
        setFaults(false);
        for (auto waited = 0min; uploader.waiting() > 0 && waited < kDeliveryWindow; waited += 1min) step(1min);
        for (; day < days.count(); ++day) endDay(day);
    }
    facts.figures.replaySeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - replayStart).count();

    for (const LocationFix& fix : input.fixes) days.countFix(systemTime(fix.timestamp));
    logMoving(input.fixes, days);
    for (const auto& [arrival, departure] : watch.stays) {
        days.addSpan("stay", arrival, departure);
        days.countStay(arrival);
    }
    for (const Stretch& spell : plan.offline) days.addSpan("offline", spell.from, spell.to);
    days.addSpan("faults", plan.faults.from, plan.faults.to);
    for (const auto& [time, request] : notices->entries()) days.countNotice(time);

    facts.trace = input.description;
    facts.from = isoSeconds(first);
    facts.to = isoSeconds(last);
    facts.track = thinnedTrack(input.fixes);
    facts.cells.assign(watch.cells.begin(), watch.cells.end());
    for (auto& [identifier, fence] : fences) facts.fences.push_back(std::move(fence));
    facts.learnedPlaces =
        learnedPlaces(RelevantPlaceStore(*host.environment.secureStore).load().value_or(RelevantPlaceMap{}));
    facts.noticePlaces = input.places;
    facts.notices = raisedNotices(*notices);
    facts.days = days.days();
    std::int64_t delivered = 0;
    for (const auto& [key, times] : ledger->delivered()) delivered += times;
    const PlatformCheck check = checkPlatform(platform, *resourceId, ledger->delivered());
    facts.platform = check.records;
    facts.figures.fixes = static_cast<std::int64_t>(input.fixes.size());
    facts.figures.positionsQueued = queue->appended();
    facts.figures.uploads = static_cast<std::int64_t>(uploader.statistics().uploaded.load());
    facts.figures.resends = static_cast<std::int64_t>(uploader.statistics().resent.load());
    facts.figures.duplicates = facts.platform.duplicates;
    // Queued and never through, or through and not held.
    facts.figures.positionsLost = std::max<std::int64_t>(0, queue->appended() - delivered) + check.missing;
    facts.figures.notices = static_cast<std::int64_t>(facts.notices.size());

    FenkManager::resetSharedManager();
    dispatcher->runUntilIdle();
    // The run's environment goes with it, and its open connections to the platform with it.
    Environment::install({});
    return outcome;
}

}  // namespace fenk
