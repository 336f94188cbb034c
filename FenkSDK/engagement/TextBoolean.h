#pragma once

#include <string_view>

namespace fenk {

// Reads a setting's text as a yes/no answer, ignoring case: leading white space, one sign and leading zeros
// are skipped, and the answer is yes exactly when the next character is 'y', 't' or a digit from 1 to 9
// ("YES", "true", " +0001"); anything else, the empty text included, is no.
bool textBoolValue(std::string_view text);

}  // namespace fenk
