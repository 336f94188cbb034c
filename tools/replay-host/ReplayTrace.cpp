#include "tools/replay-host/ReplayTrace.h"

#include "FenkSDK/location/Timestamp.h"
#include "adapters/location/CommuterTrace.h"
#include "adapters/location/TraceReader.h"

#include <chrono>
#include <fstream>

namespace fenk {
namespace {

constexpr std::chrono::sys_days kCommuterStart{std::chrono::year{2026} / 1 / 5};

}  // namespace

std::variant<std::vector<LocationFix>, std::string> readReplayTrace(const std::filesystem::path& path) {
    auto read = readTraceFile(path);
    if (const auto* error = std::get_if<TraceError>(&read)) return path.string() + ": " + error->describe();
    auto& fixes = std::get<std::vector<LocationFix>>(read);
    if (fixes.empty()) return path.string() + ": no timed points";
    if (!systemTimeFromTimestamp(fixes.front().timestamp) || !systemTimeFromTimestamp(fixes.back().timestamp)) {
        return path.string() + ": times outside the years 1678 to 2262 cannot be replayed";
    }
    return std::move(fixes);
}

std::vector<LocationFix> generatedCommuter(int weeks, std::uint64_t seed) {
    return generateCommuterTrace({.weeks = weeks,
                                  .seed = seed,
                                  .start = timestampFromSystemTime(SystemTime(kCommuterStart)),
                                  .utcOffset = {}})
        .fixes;
}

bool writeFile(const std::filesystem::path& path, const std::string& content) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << content;
    file.close();
    return !file.fail();
}

}  // namespace fenk
