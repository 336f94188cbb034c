#pragma once

#include "FenkSDK/runtime/NotificationCenter.h"

#include <any>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace fenk {

// A push payload is a small JSON object: anything larger or deeper is not one, whatever it holds.
inline constexpr std::size_t kMaxPushPayloadBytes = 64 * 1024;
inline constexpr std::size_t kMaxPushPayloadDepth = 32;

// The payload as JSON text. None when it is not JSON within the limits above: a number that is NaN or
// infinite, text that is not UTF-8, a value of a type JSON has no place for, nesting deeper than the limit
// (the payload itself is the first level) or text longer than the limit.
//
// Values may be std::string, const char*, bool, any standard integer, float, double, std::nullptr_t, a
// nested UserInfo, or std::vector<std::any> for an array.
std::optional<std::string> pushPayloadJson(const UserInfo& payload);

// The payload a JSON text holds, in the same kinds of values: text as std::string, integers as std::int64_t
// (std::uint64_t above its range), other numbers as double, null as std::nullptr_t. None when the text is not
// a JSON object within the limits above; `error` then says why.
std::optional<UserInfo> pushPayloadFromJson(std::string_view json, std::string& error);

// The value as a number when it holds one of the number kinds above; a bool counts, as JSON's true and false
// are numbers to a payload's reader.
std::optional<double> payloadNumber(const std::any& value);

}  // namespace fenk
