#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "FenkSDK/json/RecordCodec.h"

namespace fenk {

// A node of a file tree; a folder holds its children in `contents`. Unlike the other records, `size` and
// `isDir` (0 or 1) travel as JSON numbers.
struct FG_Node {
    std::optional<std::string> resourceId{};
    std::optional<std::string> identifier{};
    std::optional<std::string> name{};
    std::optional<std::string> tags{};
    std::optional<std::int64_t> size{};
    std::optional<std::int64_t> isDir{};
    std::optional<std::string> path{};
    std::optional<std::string> url{};
    std::optional<std::vector<FG_Node>> contents{};

    static constexpr auto jsonFields = std::tuple{json::field("resourceId", &FG_Node::resourceId),
                                                  json::field("identifier", &FG_Node::identifier),
                                                  json::field("name", &FG_Node::name),
                                                  json::field("tags", &FG_Node::tags),
                                                  json::field("size", &FG_Node::size),
                                                  json::field("isDir", &FG_Node::isDir),
                                                  json::field("path", &FG_Node::path),
                                                  json::field("url", &FG_Node::url),
                                                  json::field("contents", &FG_Node::contents)};
};

}  // namespace fenk
