#pragma once

#include <string_view>

namespace fenk {

// Whether the bytes are well-formed UTF-8 text. Kept out of line: the validator's header is large, and
// few files need more of it.
bool isValidUtf8(std::string_view text);

}  // namespace fenk
