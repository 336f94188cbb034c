#pragma once

#include "FenkSDK/json/RecordCodec.h"
#include "FenkSDK/location/Timestamp.h"
#include "FenkSDK/location/TimestampCodec.h"

#include <map>
#include <optional>
#include <string>
#include <tuple>

namespace fenk {

// A cell the user keeps returning to, learned from their stays.
struct FenkRelevantPlace {
    std::optional<std::string> idGeoHash{};
    std::optional<Timestamp> initialDate{};
    std::optional<Timestamp> finalDate{};  // the latest visit counted
    std::optional<std::string> type{};     // "home" or "work"
    std::optional<int> numStays{};

    static constexpr auto jsonFields = std::tuple{
        json::field("idGeoHash", &FenkRelevantPlace::idGeoHash),
        json::field("initialDate", &FenkRelevantPlace::initialDate),
        json::field("finalDate", &FenkRelevantPlace::finalDate), json::field("type", &FenkRelevantPlace::type),
        json::field("numStays", &FenkRelevantPlace::numStays)};

    friend bool operator==(const FenkRelevantPlace&, const FenkRelevantPlace&) = default;
};

// Cell -> place, as kept in the secure store.
using RelevantPlaceMap = std::map<std::string, FenkRelevantPlace>;

}  // namespace fenk
