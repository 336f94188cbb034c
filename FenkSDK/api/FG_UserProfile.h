#pragma once

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "FenkSDK/api/FG_UserHabit.h"
#include "FenkSDK/json/RecordCodec.h"

namespace fenk {

// The user's habits as the platform profiles them. One habit without both of its fields spoils the
// whole profile.
struct FG_UserProfile {
    std::optional<std::string> resourceId{};
    std::optional<std::vector<FG_UserHabit>> userHabits{};

    static constexpr auto jsonFields = std::tuple{json::field("resourceId", &FG_UserProfile::resourceId),
                                                  json::field("userHabits", &FG_UserProfile::userHabits)};
};

}  // namespace fenk
