#include "FenkSDK/engagement/PendingNotifications.h"

#include "FenkSDK/UserDefault.h"
#include "FenkSDK/runtime/Console.h"

#include <iterator>
#include <string>

namespace fenk {

std::vector<FenkPushNotification> PendingNotifications::list() const {
    return UserDefault(preferences_).getDataArray<FenkPushNotification>(settingsKeys::kFenkPendingNotification);
}

bool PendingNotifications::append(const FenkPushNotification& notification) {
    auto pending = list();
    pending.push_back(notification);
    if (pending.size() > kCapacity) {
        const auto dropped = pending.size() - kCapacity;
        pending.erase(pending.begin(), std::next(pending.begin(), static_cast<std::ptrdiff_t>(dropped)));
        Console::print("pending push contents are full: the oldest was dropped");
    }
    return commit(pending);
}

std::optional<FenkPushNotification> PendingNotifications::takeOldest() {
    auto pending = list();
    if (pending.empty()) return std::nullopt;
    auto oldest = std::move(pending.front());
    pending.erase(pending.begin());
    if (!commit(pending)) {
        Console::print("pending push content not shown: the settings could not be written");
        return std::nullopt;
    }
    return oldest;
}

// The key is absent when nothing is pending.
bool PendingNotifications::commit(const std::vector<FenkPushNotification>& list) {
    const bool written = list.empty()
                             ? preferences_.remove(settingsKeys::kFenkPendingNotification)
                             : UserDefault(preferences_).setDataArray(list, settingsKeys::kFenkPendingNotification);
    return written && preferences_.synchronize();
}

}  // namespace fenk
