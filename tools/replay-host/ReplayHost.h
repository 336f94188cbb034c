#pragma once

#include "FenkSDK/runtime/Environment.h"
#include "adapters/fake/FakeDispatcher.h"
#include "adapters/fake/FakeReachability.h"
#include "adapters/linux/SqlitePreferences.h"
#include "adapters/location/EngineLocation.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace fenk {

// The SDK's environment for a replay in virtual time: the whole SDK runs on the caller's thread as fast as it
// can, with real storage in a data folder, real exchanges with a platform (time stands still while one is on the
// wire), the location engine the replay feeds, and a link that stays up until the caller reports otherwise.
// The caller fills in what it wants of the rest (notices, links, a window) before installing `environment`.
struct ReplayHost {
    std::shared_ptr<FakeDispatcher> dispatcher;
    std::shared_ptr<EngineLocation> engine;
    std::shared_ptr<FakeReachability> reachability;
    std::shared_ptr<SqlitePreferences> preferences;
    Environment environment;
};

// Virtual time starts at `start`; with `connectTo` ("HOST:PORT") every exchange goes there.
ReplayHost makeReplayHost(const std::filesystem::path& dataFolder, SystemTime start,
                          const std::optional<std::string>& connectTo);

// Registers with tracking on and waits, in virtual time, for the answer; the user id, or none with a line on
// standard error naming what the platform said.
std::optional<std::string> registerForTracking(const std::string& appKey, const std::string& platform,
                                               FakeDispatcher& dispatcher);

}  // namespace fenk
