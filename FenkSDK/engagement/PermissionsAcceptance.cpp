#include "FenkSDK/engagement/PermissionsAcceptance.h"

#include "FenkSDK/engagement/TextBoolean.h"

#include <algorithm>

namespace fenk {

bool requiresPermissionsAcceptance(const std::vector<FG_Extra>& appParameters) {
    const auto entry = std::ranges::find(appParameters, std::optional<std::string>("requiresPermissionsAcceptance"),
                                         &FG_Extra::name);
    if (entry == appParameters.end()) return true;
    return entry->value && textBoolValue(*entry->value);
}

}  // namespace fenk
