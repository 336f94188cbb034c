#pragma once

#include <string>
#include <tuple>

#include "FenkSDK/json/RecordCodec.h"

namespace fenk {

// One habit of the user's profile; both fields are required.
struct FG_UserHabit {
    std::string name{};
    std::string level{};

    const std::string& getName() const { return name; }
    const std::string& getLevel() const { return level; }

    static constexpr auto jsonFields = std::tuple{json::field("name", &FG_UserHabit::name),
                                                  json::field("level", &FG_UserHabit::level)};
};

}  // namespace fenk
