#pragma once

#include "FenkSDK/api/FG_GroupData.h"
#include "FenkSDK/api/FG_UserHabit.h"

#include <optional>
#include <string>
#include <vector>

namespace fenk::test {

// An account call's answer as one comparable line: "(none)", "[]", or the records space-separated.
inline std::string habitsText(const std::optional<std::vector<FG_UserHabit>>& habits) {
    if (!habits) return "(none)";
    if (habits->empty()) return "[]";
    std::string text;
    for (const FG_UserHabit& habit : *habits) text += (text.empty() ? "" : " ") + habit.name + "=" + habit.level;
    return text;
}

inline std::string groupsText(const std::optional<std::vector<FG_GroupData>>& groups) {
    if (!groups) return "(none)";
    if (groups->empty()) return "[]";
    std::string text;
    for (const FG_GroupData& group : *groups) text += (text.empty() ? "" : " ") + group.resourceId.value_or("?");
    return text;
}

}  // namespace fenk::test
