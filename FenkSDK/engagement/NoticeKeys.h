#pragma once

#include <string_view>

namespace fenk::noticeKeys {

// The keys a link notice carries, both in the platform's place extras and in the notice's user information,
// so that an opened notice reads like a link push payload.
inline constexpr std::string_view kType = "gType";
inline constexpr std::string_view kNoticeType = "d2s-notification";
inline constexpr std::string_view kLinkUrl = "d2s-link-url";
inline constexpr std::string_view kMessage = "d2s-message";
inline constexpr std::string_view kIcon = "d2s-icon";

}  // namespace fenk::noticeKeys
