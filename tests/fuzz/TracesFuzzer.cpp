// Feeds arbitrary bytes to the trace reader, GPX and NMEA alike. It must refuse or read, never crash or hang;
// what it reads must be in time order, and written back as GPX it must read again to the same instants,
// positions, speeds and courses, so a trace saved from a replay replays the same.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "adapters/location/GpxWriter.h"
#include "adapters/location/TraceReader.h"

namespace fenk {
namespace {

[[noreturn]] void broken(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

// Both NaN, or the very same number.
bool same(double a, double b) { return (std::isnan(a) && std::isnan(b)) || a == b; }

void check(std::string_view input) {
    // Small limits keep each run quick; the limits themselves are part of what is fuzzed.
    const TraceLimits limits{1 << 20, 10'000};
    const TraceResult result = readTrace(input, limits);
    const auto* fixes = std::get_if<std::vector<LocationFix>>(&result);
    if (!fixes) return;
    if (fixes->empty()) broken("a trace read to no fixes");
    for (std::size_t i = 0; i < fixes->size(); ++i) {
        if (!isValidCoordinate((*fixes)[i].coordinate)) broken("a fix has an invalid position");
        if (i > 0 && (*fixes)[i].timestamp < (*fixes)[i - 1].timestamp) broken("fixes out of time order");
    }
    const auto document = writeGpx(*fixes);
    if (!document) broken("read fixes did not write");
    const TraceResult reread = readTrace(*document, TraceLimits{});
    const auto* again = std::get_if<std::vector<LocationFix>>(&reread);
    if (!again || again->size() != fixes->size()) broken("a written trace did not read back");
    for (std::size_t i = 0; i < fixes->size(); ++i) {
        const LocationFix& a = (*fixes)[i];
        const LocationFix& b = (*again)[i];
        if (a.timestamp != b.timestamp || a.coordinate != b.coordinate || !same(a.speed, b.speed) ||
            !same(a.course, b.course) || !same(a.altitude, b.altitude)) {
            broken("a fix changed on the way through GPX");
        }
    }
}

}  // namespace
}  // namespace fenk

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fenk::check(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
