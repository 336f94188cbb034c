#include "tools/fenk-platform/PlatformPath.h"

#include <vector>

namespace fenk {
namespace {

std::vector<std::string_view> segments(std::string_view text) {
    std::vector<std::string_view> parts;
    for (std::size_t slash; (slash = text.find('/')) != std::string_view::npos; text.remove_prefix(slash + 1)) {
        parts.push_back(text.substr(0, slash));
    }
    parts.push_back(text);
    return parts;
}

}  // namespace

std::optional<PlatformPath> parsePlatformPath(std::string_view path) {
    constexpr std::string_view kJson = "/json/";
    const std::size_t json = path.find(kJson);
    if (json == std::string_view::npos) return std::nullopt;
    const std::string_view beforeJson = path.substr(0, json);
    PlatformPath parsed;
    parsed.version = beforeJson.substr(beforeJson.rfind('/') + 1);
    if (parsed.version.empty()) return std::nullopt;

    const std::vector<std::string_view> rest = segments(path.substr(json + kJson.size()));
    if (rest.size() == 2 && rest[0] == "auth" && rest[1] == "user") return parsed;
    if (rest.size() < 3 || rest.size() > 4 || rest[0] != "exec" || rest[1].empty() || rest[2].empty()) {
        return std::nullopt;
    }
    parsed.kind = PlatformPath::Kind::service;
    parsed.api = rest[1];
    parsed.service = rest[2];
    if (rest.size() == 4 && !rest[3].empty()) parsed.resourceId = std::string(rest[3]);
    return parsed;
}

}  // namespace fenk
