#include "FenkSDK/engagement/PushIntake.h"

#include "FenkSDK/api/WellFormedUrl.h"
#include "FenkSDK/engagement/NoticeKeys.h"
#include "FenkSDK/engagement/PendingNotifications.h"
#include "FenkSDK/engagement/PushPayloadJson.h"
#include "FenkSDK/json/RecordCodec.h"
#include "FenkSDK/ports/Application.h"
#include "FenkSDK/ports/Device.h"
#include "FenkSDK/ports/Dispatcher.h"
#include "FenkSDK/runtime/Console.h"
#include "FenkSDK/runtime/WhileAlive.h"

#include <utility>

namespace fenk {
namespace {

constexpr std::string_view kAps = "aps";
constexpr std::string_view kContentAvailable = "content-available";
constexpr SystemVersionLevel kLaunchPayloadHandedToHost{10, 0};

template <class T>
const T* valueAt(const UserInfo& dictionary, std::string_view key) {
    const auto found = dictionary.find(std::string(key));
    return found == dictionary.end() ? nullptr : std::any_cast<T>(&found->second);
}

// A payload that is not JSON, or whose JSON is not the record, decodes to none.
std::optional<FenkPushNotification> decode(const UserInfo& payload) {
    const auto json = pushPayloadJson(payload);
    return json ? json::decode<FenkPushNotification>(*json) : std::nullopt;
}

bool isSilent(const UserInfo& aps) {
    const auto found = aps.find(std::string(kContentAvailable));
    if (found == aps.end()) return false;
    const auto number = payloadNumber(found->second);
    return number && *number != 0;
}

}  // namespace

PushIntake::PushIntake(Collaborators collaborators) : collaborators_(std::move(collaborators)) {}

void PushIntake::handlePushNotification(const UserInfo& payload) {
    const auto* type = valueAt<std::string>(payload, noticeKeys::kType);
    if (!type) return;
    if (*type == noticeKeys::kNoticeType) {
        const auto* link = valueAt<std::string>(payload, noticeKeys::kLinkUrl);
        if (link && isWellFormedUrl(*link)) collaborators_.openWebPage(*link);
        return;
    }
    const auto* aps = valueAt<UserInfo>(payload, kAps);
    if (!aps) return;
    if (isSilent(*aps)) {
        if (collaborators_.application->applicationState() == ApplicationState::active) return;
        if (const auto notification = decode(payload)) {
            PendingNotifications(*collaborators_.preferences).append(*notification);
        }
        return;
    }
    if (const auto notification = decode(payload)) present(*notification);
}

void PushIntake::handlePushNotificationJson(std::string_view json) {
    std::string error;
    if (const auto payload = pushPayloadFromJson(json, error)) {
        handlePushNotification(*payload);
    } else {
        Console::print("push payload ignored: " + error);
    }
}

void PushIntake::launchedFromNotification(const std::any& payload) {
    if (collaborators_.device->systemVersionLevel() >= kLaunchPayloadHandedToHost) return;
    const auto* dictionary = std::any_cast<UserInfo>(&payload);
    if (!dictionary) return;
    collaborators_.mainQueue->asyncAfter(
        kLaunchPayloadDelay, whileAlive(weak_from_this(), [payload = *dictionary](PushIntake& self) {
            self.handlePushNotification(payload);
        }));
}

void PushIntake::showPendingNotification() {
    if (const auto oldest = PendingNotifications(*collaborators_.preferences).takeOldest()) present(*oldest);
}

void PushIntake::present(const FenkPushNotification& notification) const {
    collaborators_.notificationCenter->post(kPushContentPresented, UserInfo{{"gType", notification.gType.value_or("")}});
    collaborators_.presentContent(notification);
}

}  // namespace fenk
