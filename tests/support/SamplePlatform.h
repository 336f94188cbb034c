#pragma once

#include "tools/fenk-platform/PlatformServer.h"
#include "tools/fenk-platform/PlatformStore.h"  // ReceivedLocation, for PlatformServer::locationsOf

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace fenk {

// fenk-platform in this process on a free loopback port, seeded with the sample seed, its database in
// `folder`.
inline std::unique_ptr<PlatformServer> startSamplePlatform(const std::filesystem::path& folder) {
    std::string error;
    auto platform =
        PlatformServer::start({.database = folder / "platform.sqlite3", .seed = FENK_PLATFORM_SAMPLE_SEED}, error);
    if (!platform) throw std::runtime_error(error);
    return platform;
}

// The paths of the requests the platform received since the last call, in arrival order.
inline std::vector<std::string> takeRequestPaths(PlatformServer& platform) {
    std::vector<std::string> paths;
    for (const auto& request : platform.requestLog().requests()) paths.push_back(request.path);
    platform.requestLog().clear();
    return paths;
}

}  // namespace fenk
