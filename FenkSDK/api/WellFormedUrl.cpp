#include "FenkSDK/api/WellFormedUrl.h"

#include "FenkSDK/api/UrlParts.h"

#include <algorithm>

namespace fenk {

bool isWellFormedUrl(std::string_view url) {
    const auto isPrintableAscii = [](char character) { return character > ' ' && character < '\x7F'; };
    if (!std::ranges::all_of(url, isPrintableAscii)) return false;
    const auto parts = splitUrl(url);
    return parts && (parts->scheme == "http" || parts->scheme == "https") && !parts->host.empty();
}

}  // namespace fenk
