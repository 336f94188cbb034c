#include "FenkSDK/json/DecodeError.h"

#include <utility>

namespace fenk::json {
namespace {

std::string_view describe(JsonKind kind) {
    switch (kind) {
        case JsonKind::Null: return "null";
        case JsonKind::Boolean: return "a boolean";
        case JsonKind::Integer:
        case JsonKind::UnsignedInteger: return "an integer";
        case JsonKind::Real: return "a number with a fraction or exponent";
        case JsonKind::String: return "a string";
        case JsonKind::Array: return "an array";
        case JsonKind::Object: return "an object";
    }
    return "an unknown value";
}

}  // namespace

bool DecodeError::fail(std::string reason) {
    reason_ = std::move(reason);
    return false;
}

bool DecodeError::expected(std::string_view what, JsonValue found) {
    std::string reason = "expected ";
    reason += what;
    reason += ", found ";
    reason += describe(found.kind());
    return fail(std::move(reason));
}

void DecodeError::insideKey(std::string_view key) {
    std::string step = ".";
    step += key;
    path_.insert(0, step);
}

void DecodeError::insideIndex(std::size_t index) {
    std::string step = "[";
    step += std::to_string(index);
    step += ']';
    path_.insert(0, step);
}

std::string DecodeError::message() const {
    if (path_.empty()) return reason_;
    const std::string_view path = path_.front() == '.' ? std::string_view(path_).substr(1) : std::string_view(path_);
    std::string line = "at ";
    line += path;
    line += ": ";
    line += reason_;
    return line;
}

}  // namespace fenk::json
