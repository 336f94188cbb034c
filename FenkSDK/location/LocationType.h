#pragma once

#include "FenkSDK/json/RecordCodec.h"

#include <cstdint>
#include <string>
#include <tuple>

namespace fenk {

// Where a position record came from.
enum class LocationType : int {
    location = 0,  // a fix
    visit = 1,     // a stay the platform detected
    region = 2,    // entry into a monitored place
};

}  // namespace fenk

namespace fenk::json {

// Stored as {"rawValue": n}; any other number fails the decode rather than inventing a source.
template <>
struct ValueCodec<LocationType> {
    struct Coded {
        std::int64_t rawValue{};
        static constexpr auto jsonFields = std::tuple{field("rawValue", &Coded::rawValue)};
    };

    static bool read(JsonValue value, LocationType& out, DecodeError& error) {
        Coded coded;
        if (!ValueCodec<Coded>::read(value, coded, error)) return false;
        if (coded.rawValue < static_cast<int>(LocationType::location) ||
            coded.rawValue > static_cast<int>(LocationType::region)) {
            return error.fail("unknown LocationType raw value " + std::to_string(coded.rawValue));
        }
        out = static_cast<LocationType>(coded.rawValue);
        return true;
    }
    static void write(JsonWriter& writer, LocationType value) {
        ValueCodec<Coded>::write(writer, Coded{static_cast<int>(value)});
    }
};

}  // namespace fenk::json
