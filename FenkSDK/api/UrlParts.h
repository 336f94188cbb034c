#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fenk {

// The pieces of an absolute link. The scheme is lower-cased (it never depends on
// case); the rest is kept as written, without percent-decoding, because the page's event links carry
// case-sensitive event names as their host.
struct UrlParts {
    std::string scheme;
    std::string host;
    std::string path;   // from the first '/' after the host, up to '?' or '#'
    std::string query;  // after '?', up to '#'
};

// None when the text has no "scheme://" prefix.
std::optional<UrlParts> splitUrl(std::string_view url);

// The value of the first `name=value` pair of a query split on '&' and '='; a bare `name` gives the empty
// text; none when the query names no such parameter.
std::optional<std::string_view> queryValue(std::string_view query, std::string_view name);

}  // namespace fenk
