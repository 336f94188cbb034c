#pragma once

#include "FenkSDK/api/FG_Account.h"
#include "FenkSDK/api/FG_Extra.h"
#include "FenkSDK/runtime/AtomicBoolean.h"

#include <atomic>
#include <functional>
#include <optional>
#include <vector>

namespace fenk {

class Preferences;

// Which question the legal workflow asks before it lets the SDK work: may we track, or only notify.
enum class LegalWorkflowVariant { tracking, notifications };

struct LegalWorkflowRequest {
    std::optional<FG_Account> account;
    std::vector<FG_Extra> appParameters;
    LegalWorkflowVariant variant;
};

// Decides, on each activation and after each registration, whether the legal-terms workflow should run,
// and gathers what it needs. It runs on the manager's work queue.
class TrackingStartCheck {
public:
    // Completes with the account the workflow is shown for (see AccountService::currentAccount).
    using CurrentAccount = std::function<void(std::function<void(std::optional<FG_Account>)>)>;
    using HandOver = std::function<void(LegalWorkflowRequest)>;

    TrackingStartCheck(const AtomicBoolean& runningRegistration, const std::atomic<bool>& isChecking,
                       Preferences& preferences, CurrentAccount currentAccount, HandOver handOver);

    void run() const;

private:
    const AtomicBoolean& runningRegistration_;
    const std::atomic<bool>& isChecking_;
    Preferences& preferences_;
    CurrentAccount currentAccount_;
    HandOver handOver_;
};

}  // namespace fenk
