#pragma once

#include "FenkSDK/json/RecordCodec.h"
#include "FenkSDK/location/Timestamp.h"
#include "FenkSDK/location/TimestampCodec.h"
#include "FenkSDK/places/FenkStay.h"

#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace fenk {

// The stored form keeps a candidate's stays one level down, in an object of their own:
// {"arrStays": {"arrStays": [...]}}.
struct FenkStayList {
    std::vector<FenkStay> stays{};

    static constexpr auto jsonFields = std::tuple{json::field("arrStays", &FenkStayList::stays)};

    friend bool operator==(const FenkStayList&, const FenkStayList&) = default;
};

// The stays filed under a cell that is not (yet) a relevant place, and their statistics over the recent ones.
struct FenkCandidateStay {
    std::optional<std::string> idGeoHash{};
    std::optional<FenkStayList> arrStays{};  // oldest first, never pruned
    std::optional<Timestamp> initialDate{};
    std::optional<Timestamp> finalDate{};
    std::optional<double> mediumStay{};    // hours
    std::optional<float> pctNight{};       // fraction, 0 to 1
    std::optional<float> pctLabourDay{};   // fraction, 0 to 1

    static constexpr auto jsonFields = std::tuple{
        json::field("idGeoHash", &FenkCandidateStay::idGeoHash),
        json::field("arrStays", &FenkCandidateStay::arrStays),
        json::field("initialDate", &FenkCandidateStay::initialDate),
        json::field("finalDate", &FenkCandidateStay::finalDate),
        json::field("mediumStay", &FenkCandidateStay::mediumStay),
        json::field("pctNight", &FenkCandidateStay::pctNight),
        json::field("pctLabourDay", &FenkCandidateStay::pctLabourDay)};

    std::size_t stayCount() const { return arrStays ? arrStays->stays.size() : 0; }

    friend bool operator==(const FenkCandidateStay&, const FenkCandidateStay&) = default;
};

// Cell -> candidate, as kept in the settings store.
using CandidateStayMap = std::map<std::string, FenkCandidateStay>;

}  // namespace fenk
