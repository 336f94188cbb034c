#include "tools/fenk-demo/DemoPlatform.h"

#include "FenkSDK/json/RecordCodec.h"
#include "tools/fenk-platform/PlatformStore.h"
#include "tools/fenk-platform/RequestLog.h"
#include "tools/replay-host/ReplayTrace.h"

namespace fenk {
namespace {

constexpr std::size_t kSampleSize = 8;

// The request's path with the user's id in it written as "{user}", so that requests group by service.
std::string serviceOf(const RecordedRequest& request, const std::string& resourceId) {
    std::string path = request.path;
    if (const auto at = path.find(resourceId); !resourceId.empty() && at != std::string::npos) {
        path.replace(at, resourceId.size(), "{user}");
    }
    return request.method + " " + path;
}

}  // namespace

std::unique_ptr<PlatformServer> startDemoPlatform(const std::filesystem::path& folder, const PlatformSeed& seed,
                                                  std::string& error) {
    const auto seedFile = folder / "seed.json";
    const auto database = folder / "platform.sqlite3";
    const std::optional<std::string> text = json::encode(seed);
    if (!text || !writeFile(seedFile, *text)) {
        error = "cannot write " + seedFile.string();
        return nullptr;
    }
    std::error_code ignored;
    std::filesystem::remove(database, ignored);
    return PlatformServer::start({.host = "127.0.0.1", .port = 0, .database = database, .seed = seedFile}, error);
}

PlatformCheck checkPlatform(PlatformServer& platform, const std::string& resourceId,
                            const std::map<UploadKey, std::int64_t>& delivered) {
    PlatformCheck check;
    PlatformRecords& records = check.records;
    std::map<UploadKey, std::int64_t> stored;
    for (const ReceivedLocation& location : platform.locationsOf(resourceId)) {
        ++records.positions;
        ++stored[{location.latitude.value_or(""), location.longitude.value_or(""), location.extra.value_or("")}];
        if (records.sampleDescriptors.size() < kSampleSize && location.extra) {
            records.sampleDescriptors.push_back(*location.extra);
        }
    }
    records.distinct = static_cast<std::int64_t>(stored.size());
    const LedgerComparison comparison = compareWithPlatform(delivered, stored);
    records.duplicates = comparison.duplicates;
    check.missing = comparison.missing;
    for (const RecordedRequest& request : platform.requestLog().requests()) ++records.requests[serviceOf(request, resourceId)];
    return check;
}

}  // namespace fenk
