#pragma once

#include "FenkSDK/api/FG_GroupData.h"
#include "FenkSDK/api/FG_UserHabit.h"

#include <optional>
#include <string>
#include <vector>

namespace fenk::test {

// An account call's answer as one comparable line: "(none)", "[]", or the records space-separated.
inline std::string recordText(const FG_UserHabit& habit) { return habit.name + "=" + habit.level; }
inline std::string recordText(const FG_GroupData& group) { return group.resourceId.value_or("?"); }

template <class Record>
std::string answerText(const std::optional<std::vector<Record>>& records) {
    if (!records) return "(none)";
    if (records->empty()) return "[]";
    std::string text;
    for (const Record& record : *records) text += (text.empty() ? "" : " ") + recordText(record);
    return text;
}
inline std::string answerText(const std::optional<std::string>& text) { return text.value_or("(none)"); }
inline std::string answerText(bool flag) { return flag ? "true" : "false"; }

}  // namespace fenk::test
