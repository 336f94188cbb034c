#pragma once

#include "FenkSDK/runtime/NotificationCenter.h"

#include <map>
#include <memory>
#include <string>

namespace fenk {

class DispatchQueue;
class LinkOpener;

// The link payload a push or an opened notice carries: "gType" = "d2s-notification" and the page to show
// under "d2s-link-url".
class NoticeLink {
public:
    // Without a link opener (nullptr) link payloads are recognised and their links dropped.
    NoticeLink(std::shared_ptr<LinkOpener> linkOpener, std::shared_ptr<DispatchQueue> mainQueue);

    // Whether the payload is a link payload; nothing else should then be done with it. Its link, when it
    // is text naming an http or https address with a host, is opened from a task of the main queue; any
    // other link is ignored.
    bool openIfLinkPayload(const UserInfo& payload) const;

private:
    std::shared_ptr<LinkOpener> linkOpener_;
    std::shared_ptr<DispatchQueue> mainQueue_;
};

// An opened notice's user information as the payload a host forwards to the manager.
UserInfo asPayload(const std::map<std::string, std::string>& noticeUserInfo);

}  // namespace fenk
