#pragma once

#include "FenkSDK/runtime/NotificationCenter.h"

#include <map>
#include <string>

namespace fenk {

// An opened notice's user information as the payload a host forwards to the manager: a link payload
// ("gType" "d2s-notification", the page under "d2s-link-url"), which the push intake opens.
UserInfo asPayload(const std::map<std::string, std::string>& noticeUserInfo);

}  // namespace fenk
