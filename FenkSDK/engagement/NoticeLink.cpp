#include "FenkSDK/engagement/NoticeLink.h"

namespace fenk {

UserInfo asPayload(const std::map<std::string, std::string>& noticeUserInfo) {
    UserInfo payload;
    for (const auto& [key, value] : noticeUserInfo) payload.emplace(key, value);
    return payload;
}

}  // namespace fenk
