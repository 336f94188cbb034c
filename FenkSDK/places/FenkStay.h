#pragma once

#include "FenkSDK/json/RecordCodec.h"
#include "FenkSDK/location/Timestamp.h"
#include "FenkSDK/location/TimestampCodec.h"

#include <optional>
#include <string>
#include <tuple>

namespace fenk {

// One measured stay in a cell.
struct FenkStay {
    std::optional<std::string> idGeoHash{};
    std::optional<Timestamp> arrival{};
    std::optional<Timestamp> departure{};
    std::optional<double> lengthStay{};  // hours
    std::optional<int> isLabourDay{};    // 1 when none of the days checked is a weekend day
    std::optional<int> isNight{};        // 1 when the stay lasted at least a whole day

    static constexpr auto jsonFields = std::tuple{
        json::field("idGeoHash", &FenkStay::idGeoHash), json::field("arrival", &FenkStay::arrival),
        json::field("departure", &FenkStay::departure), json::field("lengthStay", &FenkStay::lengthStay),
        json::field("isLabourDay", &FenkStay::isLabourDay), json::field("isNight", &FenkStay::isNight)};

    friend bool operator==(const FenkStay&, const FenkStay&) = default;
};

}  // namespace fenk
