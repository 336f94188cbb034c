#include "FenkSDK/engagement/LegalDecision.h"

namespace fenk {

std::string_view permissionName(LegalWorkflowVariant variant) {
    return variant == LegalWorkflowVariant::tracking ? "permissionTracking" : "permissionNotifications";
}

LegalStep decideLegalStep(LegalWorkflowVariant variant, const std::vector<FG_Extra>& appParameters,
                          const std::string& answer) {
    const bool tracking = variant == LegalWorkflowVariant::tracking;
    // Where nothing is to be asked, tracking starts at once; notifying needs no start.
    const LegalStep nothingToAsk = tracking ? LegalStep::startTracking : LegalStep::stop;
    const auto parameters = LegalParameters::read(appParameters, tracking);
    const bool web = parameters.workflow == "web";

    if (!parameters.requiresAcceptance) return nothingToAsk;
    if (web && (!parameters.legal || !parameters.legalSumUp)) return nothingToAsk;
    if (tracking && answer == "true") return LegalStep::startTracking;
    if (!answer.empty() && answer != "no-response") return LegalStep::stop;
    if (!web) return LegalStep::stop;
    return tracking ? LegalStep::showLegalScreen : LegalStep::openLegalPage;
}

}  // namespace fenk
