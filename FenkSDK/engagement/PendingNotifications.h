#pragma once

#include "FenkSDK/engagement/FenkPushNotification.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace fenk {

class Preferences;

// The push contents that arrived while the application was not in front, oldest first, kept in the settings
// under FENK_PENDING_NOTIFICATION so that they survive a relaunch. At most kCapacity are kept: a device that
// stays in the background for long keeps the latest ones.
class PendingNotifications {
public:
    static constexpr std::size_t kCapacity = 64;

    explicit PendingNotifications(Preferences& preferences) : preferences_(preferences) {}

    // Appends the content, dropping the oldest beyond the capacity (with a console line). False when the
    // store did not commit the list.
    bool append(const FenkPushNotification& notification);
    // Removes the oldest content and commits the shorter list before handing it back, so that content which
    // breaks whoever shows it cannot come back at every activation. None when the list is empty or the store
    // did not commit the removal (the content then stays for a later try).
    std::optional<FenkPushNotification> takeOldest();

    std::vector<FenkPushNotification> list() const;

private:
    bool commit(const std::vector<FenkPushNotification>& list);

    Preferences& preferences_;
};

}  // namespace fenk
