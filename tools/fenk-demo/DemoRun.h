#pragma once

#include "FenkSDK/location/LocationFix.h"
#include "tools/fenk-demo/DemoFacts.h"
#include "tools/fenk-platform/PlatformServer.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace fenk {

struct DemoInput {
    std::filesystem::path deviceFolder;  // the SDK's files; empty or missing for a first launch
    std::vector<LocationFix> fixes;      // in time order, at least one
    std::string description;             // what the fixes are, for the report
    std::vector<NoticePlace> places;     // the places with notices the platform was seeded with
};

// How far the run is, as each simulated day ends.
struct DayProgress {
    std::size_t day{};  // from 1
    std::size_t days{};
    std::int64_t uploads{};
    std::int64_t waiting{};
    std::int64_t stays{};
    std::int64_t places{};
};

struct DemoOutcome {
    DemoFacts facts;  // all but the whole run's wall time, which belongs to the caller
    std::string resourceId;
};

// A first launch of a host in virtual time against `platform`: registration with tracking on, the owner's
// terms shown and accepted, then the fixes replayed through the whole SDK with two offline spells and a stretch
// of platform faults in the middle, and virtual time run on until every position is delivered (a day at most).
// Installs the SDK's environment: one run per process at a time. None, with the reason in `error`, when the
// registration fails or tracking never starts.
std::optional<DemoOutcome> runDemo(const DemoInput& input, PlatformServer& platform,
                                   const std::function<void(const DayProgress&)>& progress, std::string& error);

}  // namespace fenk
