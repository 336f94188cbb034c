#include "FenkSDK/engagement/LegalParameters.h"

#include "FenkSDK/engagement/TextBoolean.h"

namespace fenk {

LegalParameters LegalParameters::read(const std::vector<FG_Extra>& appParameters, bool acceptanceByDefault) {
    LegalParameters parameters{.requiresAcceptance = acceptanceByDefault};
    for (const auto& entry : appParameters) {
        if (!entry.name) continue;
        const std::string_view name = *entry.name;
        if (name == "requiresPermissionsAcceptance") {
            parameters.requiresAcceptance = entry.value && textBoolValue(*entry.value);
        } else if (name == "userPermissionsWorkflow") {
            parameters.workflow = entry.value;
        } else if (name == "userLegal") {
            parameters.legal = entry.value;
        } else if (name == "userLegalSumUp") {
            parameters.legalSumUp = entry.value;
        } else if (name == "userLegalUpdate") {
            parameters.legalUpdate = entry.value;
        }
    }
    return parameters;
}

std::string permissionAnswer(const std::optional<FG_Account>& account, const std::optional<std::string>& permission) {
    std::string answer;
    if (!account || !account->extra) return answer;
    for (const auto& entry : *account->extra) {
        if (entry.name == permission) answer = entry.value.value_or("");
    }
    return answer;
}

}  // namespace fenk
