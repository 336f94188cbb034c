#include "FenkSDK/api/WellFormedUrl.h"

#include <algorithm>
#include <cctype>

namespace fenk {
namespace {

bool isPrintableAscii(char character) { return character > ' ' && character < '\x7F'; }

bool equalsIgnoringCase(std::string_view text, std::string_view lowerCase) {
    return std::equal(text.begin(), text.end(), lowerCase.begin(), lowerCase.end(), [](char left, char right) {
        return std::tolower(static_cast<unsigned char>(left)) == right;
    });
}

}  // namespace

bool isWellFormedUrl(std::string_view url) {
    if (!std::all_of(url.begin(), url.end(), isPrintableAscii)) return false;

    constexpr std::string_view kSchemeEnd = "://";
    const auto schemeEnd = url.find(kSchemeEnd);
    if (schemeEnd == std::string_view::npos) return false;
    const std::string_view scheme = url.substr(0, schemeEnd);
    if (!equalsIgnoringCase(scheme, "http") && !equalsIgnoringCase(scheme, "https")) return false;

    std::string_view authority = url.substr(schemeEnd + kSchemeEnd.size());
    authority = authority.substr(0, authority.find_first_of("/?#"));
    if (const auto userEnd = authority.rfind('@'); userEnd != std::string_view::npos) {
        authority.remove_prefix(userEnd + 1);
    }
    const std::string_view host = authority.substr(0, authority.find(':'));
    return !host.empty();
}

}  // namespace fenk
