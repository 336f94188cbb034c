#include "FenkSDK/TrackingStartCheck.h"

#include "FenkSDK/UserDefault.h"

namespace fenk {

TrackingStartCheck::TrackingStartCheck(const AtomicBoolean& runningRegistration, const std::atomic<bool>& isChecking,
                                       Preferences& preferences, std::function<bool()> isConnectedToNetwork,
                                       AccountRefresh refreshAccountInfo, HandOver handOver)
    : runningRegistration_(runningRegistration),
      isChecking_(isChecking),
      preferences_(preferences),
      isConnectedToNetwork_(std::move(isConnectedToNetwork)),
      refreshAccountInfo_(std::move(refreshAccountInfo)),
      handOver_(std::move(handOver)) {}

void TrackingStartCheck::run() const {
    // A running registration calls the check again when it ends.
    if (runningRegistration_.get()) return;
    if (!preferences_.string(settingsKeys::kKeyResourceId)) return;
    const auto variant = preferences_.boolean(settingsKeys::kFenkActiveTracking) ? LegalWorkflowVariant::tracking
                                                                                 : LegalWorkflowVariant::notifications;
    if (isChecking_) return;

    const UserDefault store(preferences_);
    auto appParameters = store.getDataArray<FG_Extra>(settingsKeys::kFenkAppParameters);
    auto account = store.loadRecord<FG_Account>(settingsKeys::kFenkAccountInfo);
    if (account || !isConnectedToNetwork_()) {
        handOver_({std::move(account), std::move(appParameters), variant});
        return;
    }
    refreshAccountInfo_([handOver = handOver_, appParameters = std::move(appParameters),
                         variant](std::optional<FG_Account> refreshed) mutable {
        handOver({std::move(refreshed), std::move(appParameters), variant});
    });
}

}  // namespace fenk
