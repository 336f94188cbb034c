#pragma once

#include "FenkSDK/ports/LinkOpener.h"
#include "FenkSDK/ports/UserNotifications.h"

#include <string>
#include <vector>

namespace fenk {

// Keeps every notice it is asked to show. For the fake dispatcher's single thread.
class ShownNotices final : public UserNotifications {
public:
    void add(NotificationRequest request) override { shown.push_back(std::move(request)); }
    void setOpenedHandler(OpenedHandler) override {}

    std::vector<NotificationRequest> shown;
};

// Keeps every page it is asked to open. For the fake dispatcher's single thread.
class OpenedPages final : public LinkOpener {
public:
    void openWebPage(const std::string& url) override { opened.push_back(url); }

    std::vector<std::string> opened;
};

}  // namespace fenk
