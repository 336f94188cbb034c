#pragma once

#include "tools/fenk-demo/DemoFacts.h"
#include "tools/fenk-demo/UploadLedger.h"
#include "tools/fenk-platform/PlatformSeed.h"
#include "tools/fenk-platform/PlatformServer.h"

#include <filesystem>
#include <memory>
#include <string>

namespace fenk {

// The local platform for a run, on loopback, with `seed` written to "seed.json" and a fresh database
// "platform.sqlite3" in `folder`; none with the reason in `error`.
std::unique_ptr<PlatformServer> startDemoPlatform(const std::filesystem::path& folder, const PlatformSeed& seed,
                                                  std::string& error);

// What the platform's own records hold for the user `resourceId`, set against the uploads that went through:
// its duplicates, and `missing`, the uploads that went through but that it does not hold.
struct PlatformCheck {
    PlatformRecords records;
    std::int64_t missing = 0;
};
PlatformCheck checkPlatform(PlatformServer& platform, const std::string& resourceId,
                            const std::map<UploadKey, std::int64_t>& delivered);

}  // namespace fenk
