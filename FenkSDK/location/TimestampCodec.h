#pragma once

#include "FenkSDK/json/ValueCodec.h"
#include "FenkSDK/location/Timestamp.h"

#include <optional>

namespace fenk::json {

// An instant is stored as a JSON number of seconds since 2001-01-01T00:00:00Z.
template <>
struct ValueCodec<Timestamp> {
    static bool read(JsonValue value, Timestamp& out, DecodeError& error) {
        double seconds = 0;
        if (!ValueCodec<double>::read(value, seconds, error)) return false;
        const std::optional<Timestamp> timestamp = timestampFromSecondsSinceReferenceDate(seconds);
        if (!timestamp) return error.fail("instant out of range");
        out = *timestamp;
        return true;
    }
    static void write(JsonWriter& writer, Timestamp value) { writer.number(secondsSinceReferenceDate(value)); }
};

}  // namespace fenk::json
