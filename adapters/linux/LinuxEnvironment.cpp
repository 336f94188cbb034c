// The environment the shipped library installs when the host installed none.
#include "adapters/linux/LinuxEnvironment.h"

#include "FenkSDK/ports/Application.h"
#include "FenkSDK/runtime/NotificationCenter.h"
#include "adapters/linux/CurlHttp.h"
#include "adapters/linux/DataFolder.h"
#include "adapters/linux/DesktopLinkOpener.h"
#include "adapters/linux/DesktopNotifications.h"
#include "adapters/linux/FileSecureStore.h"
#include "adapters/linux/GpsdLocation.h"
#include "adapters/linux/LinuxDevice.h"
#include "adapters/linux/NetlinkReachability.h"
#include "adapters/linux/SqlitePreferences.h"
#include "adapters/linux/SqliteRecordQueue.h"

namespace fenk {

Environment makeLinuxEnvironment(const std::filesystem::path& dataFolder, MainQueueDriver mainQueueDriver) {
    auto notificationCenter = std::make_shared<NotificationCenter>();
    auto dispatcher = std::make_shared<ThreadDispatcher>(mainQueueDriver);
    auto http = std::make_shared<CurlHttp>(dispatcher);
    auto mainQueue = dispatcher->mainQueue();
    // The settings open their file first: they may move a damaged one aside, and the queue must then open the
    // fresh file rather than keep the damaged one open.
    const auto settingsFile = dataFolder / "settings.sqlite3";
    auto preferences = std::make_shared<SqlitePreferences>(settingsFile);
    auto uploadQueue = std::make_shared<SqliteRecordQueue>(settingsFile);
    auto linkQueue = dispatcher->makeSerialQueue("com.fenk.links", QualityOfService::utility);
    return Environment{
        .dispatcher = std::move(dispatcher),
        .notificationCenter = notificationCenter,
        .preferences = std::move(preferences),
        .secureStore = std::make_shared<FileSecureStore>(dataFolder / "secure"),
        .reachability = std::make_shared<NetlinkReachability>(),
        .application = std::make_shared<Application>(notificationCenter),
        .http = std::move(http),
        .device = std::make_shared<LinuxDevice>(),
        .location = std::make_shared<GpsdLocation>(mainQueue, std::make_shared<FileSecureStore>(dataFolder / "location"),
                                                   "127.0.0.1", "2947"),
        .uploadQueue = std::move(uploadQueue),
        .notifications = std::make_shared<DesktopNotifications>(dataFolder / "notices", mainQueue),
        .linkOpener = std::make_shared<DesktopLinkOpener>(std::move(linkQueue)),
    };
}

Environment makeDefaultEnvironment() { return makeLinuxEnvironment(fenkDataFolder()); }

}  // namespace fenk
