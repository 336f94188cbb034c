#pragma once

#include "FenkSDK/api/FG_Account.h"
#include "FenkSDK/api/FG_Extra.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fenk {

// What the owner's app parameters say about the legal terms. When a name occurs more than once, the last
// entry wins; an entry without a value gives no link.
struct LegalParameters {
    // "requiresPermissionsAcceptance" read as a yes/no text (see textBoolValue); an entry without a value
    // says no, and without the entry the caller's default holds.
    bool requiresAcceptance = false;
    // "userPermissionsWorkflow": only "web" leads to a page.
    std::optional<std::string> workflow{};
    std::optional<std::string> legal{};        // "userLegal": the full terms
    std::optional<std::string> legalSumUp{};   // "userLegalSumUp": the summary the legal screen shows
    std::optional<std::string> legalUpdate{};  // "userLegalUpdate": the page announcing changed terms

    static LegalParameters read(const std::vector<FG_Extra>& appParameters, bool acceptanceByDefault);
};

// The user's answer to `permission` in the account's extra list: the value of the last entry of that name
// (names both absent count as equal), the empty text when no entry has one.
std::string permissionAnswer(const std::optional<FG_Account>& account, const std::optional<std::string>& permission);

}  // namespace fenk
