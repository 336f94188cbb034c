#pragma once

#include <string_view>

namespace fenk {

// A stand-in for the online video player's script, so that the SDK's player page works with no outside
// network: it defines YT.Player with the methods and events the page uses and draws a box that names the
// video and its state.
std::string_view playerScript();

}  // namespace fenk
