#pragma once

#include "FenkSDK/runtime/Environment.h"
#include "adapters/linux/ThreadDispatcher.h"

#include <filesystem>

namespace fenk {

// The Linux adapters with every file the SDK keeps inside `dataFolder`: the settings database, the secure
// folder, the monitored regions and the images of notices on screen. Positions come from gpsd on
// 127.0.0.1:2947; notices go to the desktop's notification server and links to its portal, on the session bus. The main queue runs on a
// thread of the SDK's own unless the host says it drives it (ThreadDispatcher::run(), or pollFd() and
// drain() in its own loop). makeDefaultEnvironment() uses the
// user's default data folder (fenkDataFolder()) and the SDK's own main thread.
Environment makeLinuxEnvironment(const std::filesystem::path& dataFolder,
                                 MainQueueDriver mainQueueDriver = MainQueueDriver::sdk);

}  // namespace fenk
