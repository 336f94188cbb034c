// The environment the shipped library installs when the host installed none.
#include "FenkSDK/Environment.h"
#include "FenkSDK/ports/Application.h"
#include "FenkSDK/runtime/NotificationCenter.h"
#include "adapters/linux/FileSecureStore.h"
#include "adapters/linux/LinuxDevice.h"
#include "adapters/linux/NetlinkReachability.h"
#include "adapters/linux/SqlitePreferences.h"
#include "adapters/linux/ThreadDispatcher.h"

namespace fenk {

Environment makeDefaultEnvironment() {
    auto notificationCenter = std::make_shared<NotificationCenter>();
    return Environment{
        .dispatcher = std::make_shared<ThreadDispatcher>(),
        .notificationCenter = notificationCenter,
        .preferences = std::make_shared<SqlitePreferences>(SqlitePreferences::defaultPath()),
        .secureStore = std::make_shared<FileSecureStore>(FileSecureStore::defaultFolder()),
        .reachability = std::make_shared<NetlinkReachability>(),
        .application = std::make_shared<Application>(notificationCenter),
        .http = nullptr,
        .device = std::make_shared<LinuxDevice>(),
    };
}

}  // namespace fenk
