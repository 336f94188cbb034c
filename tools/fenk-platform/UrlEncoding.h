#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fenk {

using NameValueList = std::vector<std::pair<std::string, std::string>>;

// Calls `visit` with each piece of `text` between separators, in order. Empty pieces before or between
// separators are visited; an empty text and a trailing separator add none.
void forEachPiece(std::string_view text, char separator, const std::function<void(std::string_view)>& visit);

// Splits "a=1&b=x+y%21" into its pairs, in order, decoding "+" as a space and %XX escapes as bytes (a
// malformed escape stays as it is). A piece without "=" is a name with an empty value; an empty piece is none.
NameValueList parseUrlEncoded(std::string_view text);

// %XX escapes decoded as bytes, '+' left as it is (a malformed escape stays as it is).
std::string decodePercentEscapes(std::string_view text);

// The last value sent under the name.
std::optional<std::string> lastValue(const NameValueList& pairs, std::string_view name);

}  // namespace fenk
