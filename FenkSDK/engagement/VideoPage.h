#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace fenk {

class Http;

inline constexpr std::chrono::milliseconds kVideoPageTimeout = std::chrono::seconds(60);
// A page larger than this is no page of the video service; its download fails instead of filling memory.
inline constexpr std::size_t kMaxVideoPageBytes = 2 * 1024 * 1024;

// Fetches the online-video page at `link` with a GET through `http` and hands its body on as text: the empty
// text when no body arrived (the exchange failed, the page was too large or the time-out passed), none when
// the body is not UTF-8. Only an http or https link with a host is fetched; any other completes at once, on
// the caller's thread, with none and one console line. `completion` runs exactly once, otherwise on the
// thread `http` completes on.
void resolveVideoPage(Http& http, const std::string& link,
                      std::function<void(std::optional<std::string> page)> completion);

// The video id a page names: the leftmost run of ASCII letters, digits, '_' and '-' that directly follows one
// of "v/", "be/", "?v=", "&v=" or "embed/", compared ignoring case. Empty when the page names none.
std::string extractVideoId(std::string_view page);

}  // namespace fenk
