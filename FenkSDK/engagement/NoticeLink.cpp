#include "FenkSDK/engagement/NoticeLink.h"

#include "FenkSDK/api/WellFormedUrl.h"
#include "FenkSDK/engagement/NoticeKeys.h"
#include "FenkSDK/ports/Dispatcher.h"
#include "FenkSDK/ports/LinkOpener.h"

#include <any>
#include <utility>

namespace fenk {
namespace {

// The text under `key`; none when it is absent or not text.
const std::string* textAt(const UserInfo& payload, std::string_view key) {
    const auto found = payload.find(std::string(key));
    return found == payload.end() ? nullptr : std::any_cast<std::string>(&found->second);
}

}  // namespace

NoticeLink::NoticeLink(std::shared_ptr<LinkOpener> linkOpener, std::shared_ptr<DispatchQueue> mainQueue)
    : linkOpener_(std::move(linkOpener)), mainQueue_(std::move(mainQueue)) {}

bool NoticeLink::openIfLinkPayload(const UserInfo& payload) const {
    const std::string* type = textAt(payload, noticeKeys::kType);
    if (!type || *type != noticeKeys::kNoticeType) return false;
    const std::string* link = textAt(payload, noticeKeys::kLinkUrl);
    if (link && isWellFormedUrl(*link) && linkOpener_) {
        mainQueue_->async([linkOpener = linkOpener_, url = *link] { linkOpener->openWebPage(url); });
    }
    return true;
}

UserInfo asPayload(const std::map<std::string, std::string>& noticeUserInfo) {
    UserInfo payload;
    for (const auto& [key, value] : noticeUserInfo) payload.emplace(key, value);
    return payload;
}

}  // namespace fenk
