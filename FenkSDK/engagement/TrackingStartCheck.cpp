#include "FenkSDK/engagement/TrackingStartCheck.h"

#include "FenkSDK/UserDefault.h"

namespace fenk {

TrackingStartCheck::TrackingStartCheck(const AtomicBoolean& runningRegistration, const std::atomic<bool>& isChecking,
                                       Preferences& preferences, CurrentAccount currentAccount, HandOver handOver)
    : runningRegistration_(runningRegistration),
      isChecking_(isChecking),
      preferences_(preferences),
      currentAccount_(std::move(currentAccount)),
      handOver_(std::move(handOver)) {}

void TrackingStartCheck::run() const {
    // A running registration calls the check again when it ends.
    if (runningRegistration_.get()) return;
    if (!preferences_.string(settingsKeys::kKeyResourceId)) return;
    const auto variant = preferences_.boolean(settingsKeys::kFenkActiveTracking) ? LegalWorkflowVariant::tracking
                                                                                 : LegalWorkflowVariant::notifications;
    if (isChecking_) return;

    auto appParameters = UserDefault(preferences_).getDataArray<FG_Extra>(settingsKeys::kFenkAppParameters);
    currentAccount_([handOver = handOver_, appParameters = std::move(appParameters),
                     variant](std::optional<FG_Account> account) mutable {
        handOver({std::move(account), std::move(appParameters), variant});
    });
}

}  // namespace fenk
