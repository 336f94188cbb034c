#include "tools/replay-host/ReplayHost.h"

#include "FenkSDK/FenkManager.h"
#include "FenkSDK/ports/Application.h"
#include "FenkSDK/runtime/NotificationCenter.h"
#include "adapters/linux/CurlHttp.h"
#include "adapters/linux/FileSecureStore.h"
#include "adapters/linux/LinuxDevice.h"
#include "adapters/linux/RedirectingHttp.h"
#include "adapters/linux/SqliteRecordQueue.h"
#include "adapters/linux/TrackedHttp.h"

#include <iostream>

namespace fenk {

ReplayHost makeReplayHost(const std::filesystem::path& dataFolder, SystemTime start,
                          const std::optional<std::string>& connectTo) {
    const auto dispatcher = std::make_shared<FakeDispatcher>(start);
    const auto center = std::make_shared<NotificationCenter>();
    const auto engine = std::make_shared<EngineLocation>(dispatcher->mainQueue(),
                                                         std::make_shared<FileSecureStore>(dataFolder / "location"));
    std::shared_ptr<Http> http = std::make_shared<CurlHttp>(dispatcher);
    if (connectTo) http = std::make_shared<RedirectingHttp>(http, *connectTo);
    const auto settingsFile = dataFolder / "settings.sqlite3";
    // The settings open the database file first: they are the ones that set a damaged file aside.
    const auto preferences = std::make_shared<SqlitePreferences>(settingsFile);
    const auto reachability = std::make_shared<FakeReachability>();
    return ReplayHost{
        .dispatcher = dispatcher,
        .engine = engine,
        .reachability = reachability,
        .preferences = preferences,
        .environment =
            Environment{
                .dispatcher = dispatcher,
                .notificationCenter = center,
                .preferences = preferences,
                .secureStore = std::make_shared<FileSecureStore>(dataFolder / "secure"),
                .reachability = reachability,
                .application = std::make_shared<Application>(center),
                .http = std::make_shared<TrackedHttp<FakeDispatcher>>(http, dispatcher),
                .device = std::make_shared<LinuxDevice>(),
                .location = engine,
                .uploadQueue = std::make_shared<SqliteRecordQueue>(settingsFile),
                .notifications = nullptr,
                .linkOpener = nullptr,
            },
    };
}

std::optional<std::string> registerForTracking(const std::string& appKey, const std::string& platform,
                                               FakeDispatcher& dispatcher) {
    std::optional<std::string> userId;
    FenkManager::sharedManager()->registerDevice(appKey, platform, true,
                                                 [&userId](std::optional<std::string> id) { userId = std::move(id); });
    dispatcher.runUntilIdle();
    if (!userId || userId->empty() || userId->starts_with("Error") || *userId == "Not connected to Internet") {
        std::cerr << "registration with " << platform << " failed: " << userId.value_or("no answer") << '\n';
        return std::nullopt;
    }
    return userId;
}

}  // namespace fenk
