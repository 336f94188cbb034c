// The HTTP client against a server whose reply never ends, or decodes to far more than it weighs: the
// client must refuse it without holding much more than the reply limit in memory. Each exchange runs in a
// forked child, so that its peak resident memory is its own and not what earlier tests left behind.
#include "ChildProcess.h"
#include "FenkSDK/ports/Http.h"
#include "adapters/linux/CurlHttp.h"
#include "adapters/linux/ThreadDispatcher.h"
#include "support/HostileReplies.h"
#include "support/Sanitizers.h"

#include <gtest/gtest.h>

#include <charconv>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <optional>
#include <string>

namespace fenk {
namespace {

using namespace std::chrono_literals;

constexpr std::size_t kMiB = 1024 * 1024;
constexpr std::size_t kServed = 8 * kDefaultMaxReplyBytes;  // what a client without a limit would hold
// The most one refused reply may add to the peak: the limit itself, and the decoder's and the
// connection's own buffers.
constexpr std::size_t kAllowedGrowth = kDefaultMaxReplyBytes + 3 * kMiB;

// A field of /proc/self/status given in kB, in bytes.
std::size_t statusBytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with(field + ":")) return std::stoul(line.substr(field.size() + 1)) * 1024;
    }
    return 0;
}

// One exchange with the server on a client of its own; true when it failed and handed back no body.
bool exchangeFailsWithoutBody(const RawReplyServer& server) {
    auto dispatcher = std::make_shared<ThreadDispatcher>();
    auto http = std::make_shared<CurlHttp>(dispatcher);
    std::mutex mutex;
    std::condition_variable ended;
    std::optional<bool> failedWithoutBody;
    HttpRequest request{.method = "GET", .url = server.url("/"), .headers = {}, .body = {}, .timeout = 30s};
    http->send(std::move(request), [&](auto body, auto, auto error) {
        std::lock_guard lock(mutex);
        failedWithoutBody = !body && error;
        ended.notify_all();
    });
    std::unique_lock lock(mutex);
    ended.wait_for(lock, 40s, [&] { return failedWithoutBody.has_value(); });
    return failedWithoutBody.value_or(false);
}

struct ChildReport {
    std::size_t peakGrowth = 0;
    bool failedWithoutBody = false;
};

// Runs one exchange in a forked child, which reports how far its resident memory rose above where it stood
// once the peak was reset, and how the exchange ended; none when the child could not say.
std::optional<ChildReport> exchangeInChild(const RawReplyServer& server) {
    const std::string report = runInChild([&]() -> std::string {
        std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from the present
        const std::size_t start = statusBytes("VmRSS");
        const bool failedWithoutBody = exchangeFailsWithoutBody(server);
        return std::to_string(statusBytes("VmHWM") - start) + (failedWithoutBody ? " refused" : " answered");
    });
    ChildReport read;
    const auto [end, error] = std::from_chars(report.data(), report.data() + report.size(), read.peakGrowth);
    const std::string_view outcome(end, report.data() + report.size());
    if (error != std::errc() || (outcome != " refused" && outcome != " answered")) {
        ADD_FAILURE() << report;
        return std::nullopt;
    }
    read.failedWithoutBody = outcome == " refused";
    return read;
}

TEST(ReplyMemory, AReplyPastTheLimitLeavesThePeakNearTheLimit) {
    if (kBuiltWithSanitizers) {
        GTEST_SKIP() << "a sanitizer's shadow memory and quarantine hide what the client itself holds, and "
                        "threads started after a fork are not supported under one";
    }
    const RawReplyServer small(replyWithBody("", "{}"));
    const auto baseline = exchangeInChild(small);
    ASSERT_TRUE(baseline.has_value());

    const struct {
        const char* name;
        RawReplyServer::Writer writer;
    } cases[] = {
        {"endless body", endlessBody(kServed)},
        {"gzip bomb", replyWithBody("Content-Encoding: gzip\r\n", gzippedSpaces(kServed))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const RawReplyServer server(c.writer);
        const auto report = exchangeInChild(server);
        ASSERT_TRUE(report.has_value());
        EXPECT_TRUE(report->failedWithoutBody);
        EXPECT_LT(report->peakGrowth, baseline->peakGrowth + kAllowedGrowth)
            << "grew by " << report->peakGrowth / kMiB << " MiB, against " << baseline->peakGrowth / kMiB
            << " MiB for a small reply";
    }
}

}  // namespace
}  // namespace fenk
