// The whole SDK replays a commuter's day in virtual time against fenk-platform on loopback: what the platform
// receives is what the SDK meant to send, in order, and faults and offline spells cost no position.
#include "FenkSDK/FenkManager.h"
#include "FenkSDK/UserDefault.h"
#include "FenkSDK/location/PositionUploader.h"
#include "FenkSDK/ports/Application.h"
#include "adapters/fake/FakeEnvironment.h"
#include "adapters/linux/CurlHttp.h"
#include "adapters/linux/RedirectingHttp.h"
#include "adapters/linux/TrackedHttp.h"
#include "adapters/location/CommuterTrace.h"
#include "adapters/location/EngineLocation.h"
#include "adapters/location/TraceReplay.h"
#include "support/FormFields.h"
#include "support/SamplePlatform.h"
#include "support/ScriptedPlatform.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace std::chrono_literals;

namespace fenk {
namespace {

struct Upload {
    std::string latitude;
    std::string longitude;
    std::string extra;
    friend auto operator<=>(const Upload&, const Upload&) = default;
};

// Offline from `from` to `to`, counted from the start of the replay.
struct OfflineSpell {
    Duration from;
    Duration to;
};

// A commuter's Monday: home, the way to work, the office, the way back.
std::vector<LocationFix> mondayTrace() {
    auto fixes = generateCommuterTrace({.weeks = 1, .seed = 3, .start = timestampFromSystemTime(FakeDispatcher::kStart)}).fixes;
    const Timestamp end = fixes.front().timestamp + 24h;
    std::erase_if(fixes, [&](const LocationFix& fix) { return fix.timestamp >= end; });
    return fixes;
}

// The SDK in a host that registered with tracking on and was relaunched for a location event.
class ReplayingDevice {
public:
    // Talks to the platform on `port`, or to the scripted one of the fakes without a port.
    explicit ReplayingDevice(std::optional<int> port = std::nullopt)
        : engine_(std::make_shared<EngineLocation>(fakes.dispatcher->mainQueue(), fakes.secureStore)) {
        Environment environment = fakes.environment();
        if (port) {
            environment.http = std::make_shared<TrackedHttp<FakeDispatcher>>(
                std::make_shared<RedirectingHttp>(std::make_shared<CurlHttp>(fakes.dispatcher),
                                                  "127.0.0.1:" + std::to_string(*port)),
                fakes.dispatcher);
        }
        environment.location = engine_;
        Environment::install(environment);
    }
    ~ReplayingDevice() { FenkManager::resetSharedManager(); }

    void registerWith(const std::string& appKey) {
        std::optional<std::string> user;
        FenkManager::sharedManager()->registerDevice(appKey, "http://127.0.0.1", true,
                                                     [&user](std::optional<std::string> id) { user = std::move(id); });
        fakes.dispatcher->runUntilIdle();
        ASSERT_TRUE(user && !user->empty()) << "registration failed";
        resourceId = *user;
    }

    // Replays the fixes, going offline for the spells, then lets virtual time run until the queue is empty;
    // answers how long the queue took to empty after the last spell.
    Duration replay(std::vector<LocationFix> fixes, const std::vector<OfflineSpell>& spells) {
        const auto manager = FenkManager::sharedManager();
        fakes.application->didFinishLaunching({{std::string(ApplicationLaunchOptionsLocationKey), true}});
        fakes.application->didBecomeActive();
        TraceReplay feed(engine_, fakes.dispatcher, std::move(fixes));
        feed.start();
        const SystemTime start = fakes.dispatcher->now();
        SystemTime recovered = start;
        constexpr SystemTime notYet = SystemTime::max();
        SystemTime drained = notYet;  // when the queue first emptied after the link returned
        const auto offline = [&] {
            return std::ranges::any_of(spells, [&](const OfflineSpell& spell) {
                const auto elapsed = fakes.dispatcher->now() - start;
                return elapsed >= spell.from && elapsed < spell.to;
            });
        };
        while (!feed.finished() || manager->positionUploader()->waiting() > 0) {
            const bool wasOffline = offline();
            fakes.dispatcher->advance(1min);
            if (offline() != wasOffline) {
                fakes.reachability->report(wasOffline ? ReachabilityFlags{ReachabilityFlag::reachable} : ReachabilityFlags{});
                if (wasOffline) {
                    recovered = fakes.dispatcher->now();
                    drained = notYet;
                }
                fakes.dispatcher->runUntilIdle();
            }
            if (drained == notYet && manager->positionUploader()->waiting() == 0) drained = fakes.dispatcher->now();
            if (fakes.dispatcher->now() - start > 48h) break;
        }
        return (drained == notYet ? fakes.dispatcher->now() : drained) - recovered;
    }

    FakeEnvironment fakes;
    std::string resourceId;

private:
    std::shared_ptr<EngineLocation> engine_;
};

// What the SDK sends when every upload is answered at once: the uploads the platform must receive.
std::vector<Upload> intendedUploads(const std::vector<LocationFix>& fixes) {
    ReplayingDevice device;
    device.fakes.http->setAutoReply(scriptedPlatform(
        {{"location.update", FakeHttpReply::text(R"({"response":"OK"})")},
         {"find-places-nearby", FakeHttpReply::text(R"({"response":"OK","data":[]})")}}));
    device.registerWith("any");
    device.replay(fixes, {});
    std::vector<Upload> uploads;
    for (const auto& request : device.fakes.http->requests()) {
        if (request.url.find("location.update") == std::string::npos) continue;
        uploads.push_back({test::formField(request.body, "latitude"), test::formField(request.body, "longitude"),
                           test::formField(request.body, "extra")});
    }
    return uploads;
}

class PositionDeliveryTest : public testing::Test {
protected:
    std::vector<Upload> received(const std::string& resourceId) {
        std::vector<Upload> uploads;
        for (const auto& location : platform->locationsOf(resourceId)) {
            uploads.push_back({location.latitude.value_or(""), location.longitude.value_or(""), location.extra.value_or("")});
        }
        return uploads;
    }

    TemporaryFolder folder;
    std::unique_ptr<PlatformServer> platform = startSamplePlatform(folder.path());
    const std::vector<LocationFix> fixes = mondayTrace();
    const std::vector<Upload> intended = intendedUploads(fixes);
};

TEST_F(PositionDeliveryTest, ThePlatformReceivesEveryPositionInOrderWithItsExactDescriptor) {
    ASSERT_GT(intended.size(), 20U);
    ReplayingDevice device(platform->port());
    device.registerWith("sample-app-key");
    device.replay(fixes, {});
    EXPECT_EQ(received(device.resourceId), intended);
}

TEST_F(PositionDeliveryTest, DroppedRepliesAndOfflineSpellsCostNoPosition) {
    std::string error;
    const auto order = parseFaultOrder(
        R"({"kind":"drop","path":"/soa.api.user.location.update","every":3,"count":0})", error);
    ASSERT_TRUE(order) << error;
    ReplayingDevice device(platform->port());
    device.registerWith("sample-app-key");
    platform->faults().arm(*order);
    // The morning commute and the way home both pass offline.
    const Duration sinceRecovery = device.replay(fixes, {{8h, 9h + 30min}, {17h, 19h}});

    const auto arrived = received(device.resourceId);
    std::map<Upload, int> copies;
    for (const auto& upload : arrived) ++copies[upload];
    for (const auto& upload : intended) EXPECT_TRUE(copies.contains(upload)) << "lost: " << upload.extra;
    const auto duplicates = arrived.size() - copies.size();
    EXPECT_LT(static_cast<double>(duplicates), 0.01 * static_cast<double>(intended.size()));
    EXPECT_LE(sinceRecovery, 15min) << "the queue must empty soon after the link returns";
}

}  // namespace
}  // namespace fenk
