#pragma once

#include <string_view>

namespace fenk {

// Whether a request may be sent to this text: an http or https scheme, a host, and only printable ASCII
// (no space, control or non-ASCII byte). Nothing is sent to a text that fails.
bool isWellFormedUrl(std::string_view url);

}  // namespace fenk
