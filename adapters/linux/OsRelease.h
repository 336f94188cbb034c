#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fenk {

// The distribution's version in the text of an os-release file: VERSION_ID, else VERSION; none when the
// text names neither (or only with empty values). Lines are shell-style assignments: blank lines and
// comments are skipped, values may be single- or double-quoted (with backslash escapes inside double
// quotes), and a later assignment of a key wins.
std::optional<std::string> osReleaseVersion(std::string_view text);

}  // namespace fenk
