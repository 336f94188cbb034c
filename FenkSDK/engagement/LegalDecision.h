#pragma once

#include "FenkSDK/engagement/LegalParameters.h"

#include <string>

namespace fenk {

// Which question the legal workflow asks before it lets the SDK work: may we track, or only notify.
enum class LegalWorkflowVariant { tracking, notifications };

enum class LegalStep {
    startTracking,
    stop,
    // The legal screen: the summary inside, the full terms behind its accept button.
    showLegalScreen,
    // The full terms in the in-app browser.
    openLegalPage,
};

// What the workflow does, given the owner's parameters and the user's answer to the variant's permission
// ("permissionTracking" or "permissionNotifications"). Acceptance is required by default when tracking.
LegalStep decideLegalStep(LegalWorkflowVariant variant, const std::vector<FG_Extra>& appParameters,
                          const std::string& answer);

// The account permission each variant reads.
std::string_view permissionName(LegalWorkflowVariant variant);

}  // namespace fenk
