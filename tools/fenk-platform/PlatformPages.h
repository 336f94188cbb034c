#pragma once

#include <string>
#include <string_view>

namespace fenk {

// The HTML page a notice's link opens: "/pages/{name}" shows its name as title and heading; "video" also
// links to a video of the online player.
std::string linkPage(std::string_view name);

// Text made safe to place inside HTML elements and quoted attributes.
std::string escapeHtml(std::string_view text);

}  // namespace fenk
