#include "adapters/location/TraceReader.h"

#include "adapters/location/GpxReader.h"
#include "adapters/location/NmeaReader.h"

#include <algorithm>
#include <fstream>
#include <string>
#include <system_error>

namespace fenk {
namespace {

TraceError tooLarge(const TraceLimits& limits) {
    return TraceError{0, "the trace is larger than " + std::to_string(limits.maxBytes) + " bytes"};
}

}  // namespace

TraceResult readTrace(std::string_view content, const TraceLimits& limits) {
    if (content.size() > limits.maxBytes) return tooLarge(limits);
    std::string_view body = content;
    if (body.starts_with("\xEF\xBB\xBF")) body.remove_prefix(3);  // a UTF-8 byte order mark
    const auto first = body.find_first_not_of(" \t\r\n");
    if (first != std::string_view::npos && body[first] == '<') return readGpx(body, limits);
    if (first != std::string_view::npos && (body[first] == '$' || body[first] == '!')) return readNmea(body, limits);
    if (first == std::string_view::npos) return TraceError{0, "no timed points"};
    const auto line = 1 + static_cast<std::size_t>(std::count(body.begin(), body.begin() + static_cast<std::ptrdiff_t>(first), '\n'));
    return TraceError{line, "not a GPX or NMEA trace"};
}

TraceResult readTraceFile(const std::filesystem::path& path, const TraceLimits& limits) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error) return TraceError{0, "cannot read " + path.string() + ": " + error.message()};
    if (size > limits.maxBytes) return tooLarge(limits);
    std::ifstream file(path, std::ios::binary);
    std::string content(static_cast<std::size_t>(size), '\0');
    if (!file.read(content.data(), static_cast<std::streamsize>(content.size()))) {
        return TraceError{0, "cannot read " + path.string()};
    }
    return readTrace(content, limits);
}

}  // namespace fenk
