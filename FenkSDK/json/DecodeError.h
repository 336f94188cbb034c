#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "FenkSDK/json/JsonDocument.h"

namespace fenk::json {

// Why a decode failed and where: filled at the failing value, then each enclosing level adds its step of
// the path while the failure unwinds (only the failing path pays for it).
class DecodeError {
public:
    // Records the reason and returns false, so a codec can `return error.fail(...)`.
    bool fail(std::string reason);
    bool expected(std::string_view what, JsonValue found);
    void insideKey(std::string_view key);
    void insideIndex(std::size_t index);

    // One line: "at accounts[2].name: expected a string, found a number".
    std::string message() const;

private:
    std::string reason_;
    std::string path_;
};

}  // namespace fenk::json
