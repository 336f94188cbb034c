#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fenk {

// The host of the online service's short video links ("https://<host>/<id>").
inline constexpr std::string_view kPlayerShortLinkHost = "youtu.be";

// The video identifier a link names, in this order: the short-link form "/<id>" on a host ending with
// `shortLinkHost`; the component after "embed" in the path; the "v" query parameter. None when the link names
// none or the id is not spelt in the service's alphabet.
std::optional<std::string> videoIdFromLink(std::string_view link,
                                           std::string_view shortLinkHost = kPlayerShortLinkHost);

}  // namespace fenk
