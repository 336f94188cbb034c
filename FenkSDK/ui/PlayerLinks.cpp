#include "FenkSDK/ui/PlayerLinks.h"

#include "FenkSDK/ui/PlayerId.h"
#include "FenkSDK/api/UrlParts.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace fenk {
namespace {

// A path's components the way links are usually taken apart: the root "/" first, then each non-empty segment,
// so the short-link path "/<id>" has two components and the id is the second.
std::vector<std::string_view> pathComponents(std::string_view path) {
    std::vector<std::string_view> components;
    if (path.starts_with('/')) components.emplace_back("/");
    while (!path.empty()) {
        const auto segmentEnd = std::min(path.find('/'), path.size());
        if (segmentEnd > 0) components.push_back(path.substr(0, segmentEnd));
        path.remove_prefix(std::min(segmentEnd + 1, path.size()));
    }
    return components;
}

std::optional<std::string_view> namedId(const UrlParts& parts, std::string_view shortLinkHost) {
    const std::vector<std::string_view> components = pathComponents(parts.path);
    if (components.size() >= 2 && parts.host.ends_with(shortLinkHost)) return components[1];
    if (const auto embed = std::ranges::find(components, "embed"); embed != components.end()) {
        if (std::next(embed) == components.end()) return std::nullopt;
        return *std::next(embed);
    }
    return queryValue(parts.query, "v");
}

}  // namespace

std::optional<std::string> videoIdFromLink(std::string_view link, std::string_view shortLinkHost) {
    const std::optional<UrlParts> parts = splitUrl(link);
    if (!parts) return std::nullopt;
    const std::optional<std::string_view> id = namedId(*parts, shortLinkHost);
    if (!id || !isPlayerId(*id)) return std::nullopt;
    return std::string(*id);
}

}  // namespace fenk
