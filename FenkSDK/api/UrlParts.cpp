#include "FenkSDK/api/UrlParts.h"

#include <algorithm>
#include <cctype>

namespace fenk {
namespace {

std::string lowerCase(std::string_view text) {
    std::string lowered(text);
    std::ranges::transform(lowered, lowered.begin(),
                           [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return lowered;
}

}  // namespace

std::optional<UrlParts> splitUrl(std::string_view url) {
    constexpr std::string_view kSchemeEnd = "://";
    const auto schemeEnd = url.find(kSchemeEnd);
    if (schemeEnd == std::string_view::npos || schemeEnd == 0) return std::nullopt;

    UrlParts parts;
    parts.scheme = lowerCase(url.substr(0, schemeEnd));
    std::string_view rest = url.substr(schemeEnd + kSchemeEnd.size());
    rest = rest.substr(0, rest.find('#'));

    const auto authorityEnd = std::min(rest.find_first_of("/?"), rest.size());
    std::string_view authority = rest.substr(0, authorityEnd);
    if (const auto userEnd = authority.rfind('@'); userEnd != std::string_view::npos) {
        authority.remove_prefix(userEnd + 1);
    }
    parts.host = authority.substr(0, authority.find(':'));

    rest.remove_prefix(authorityEnd);
    const auto queryStart = rest.find('?');
    parts.path = rest.substr(0, queryStart);
    if (queryStart != std::string_view::npos) parts.query = rest.substr(queryStart + 1);
    return parts;
}

std::optional<std::string_view> queryValue(std::string_view query, std::string_view name) {
    while (!query.empty()) {
        const auto pairEnd = std::min(query.find('&'), query.size());
        const std::string_view pair = query.substr(0, pairEnd);
        const auto equals = pair.find('=');
        if (pair.substr(0, equals) == name) {
            return equals == std::string_view::npos ? std::string_view{} : pair.substr(equals + 1);
        }
        query.remove_prefix(std::min(pairEnd + 1, query.size()));
    }
    return std::nullopt;
}

}  // namespace fenk
