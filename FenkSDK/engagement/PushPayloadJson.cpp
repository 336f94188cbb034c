#include "FenkSDK/engagement/PushPayloadJson.h"

#include "FenkSDK/json/JsonDocument.h"
#include "FenkSDK/json/JsonWriter.h"

#include <any>
#include <cstdint>
#include <limits>
#include <type_traits>
#include <utility>
#include <vector>

namespace fenk {
namespace {

using json::JsonKind;
using json::JsonValue;
using json::JsonWriter;

using AnyArray = std::vector<std::any>;

// Calls `visitor` with the integer the value holds, when it holds one of the standard integer types.
template <class... Integers, class Visitor>
bool visitIntegerAs(const std::any& value, Visitor&& visitor) {
    return ([&] {
        const auto* held = std::any_cast<Integers>(&value);
        if (held) visitor(*held);
        return held != nullptr;
    }() || ...);
}

template <class Visitor>
bool visitInteger(const std::any& value, Visitor&& visitor) {
    return visitIntegerAs<short, int, long, long long, unsigned short, unsigned, unsigned long, unsigned long long>(
        value, std::forward<Visitor>(visitor));
}

bool writeInteger(JsonWriter& writer, const std::any& value) {
    return visitInteger(value, [&writer](auto integer) {
        if constexpr (std::is_unsigned_v<decltype(integer)>) {
            // Beyond the signed range the writer has only the nearest double.
            if (integer > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
                writer.number(static_cast<double>(integer));
                return;
            }
        }
        writer.integer(static_cast<std::int64_t>(integer));
    });
}

// False when the value has no JSON form or lies deeper than the limit; the writer itself refuses NaN,
// infinity and text that is not UTF-8.
bool writeValue(JsonWriter& writer, const std::any& value, std::size_t depth);

bool writeObject(JsonWriter& writer, const UserInfo& object, std::size_t depth) {
    if (depth > kMaxPushPayloadDepth) return false;
    writer.beginObject();
    for (const auto& [key, member] : object) {
        writer.key(key);
        if (!writeValue(writer, member, depth + 1)) return false;
    }
    writer.endObject();
    return true;
}

bool writeValue(JsonWriter& writer, const std::any& value, std::size_t depth) {
    if (const auto* text = std::any_cast<std::string>(&value)) {
        writer.string(*text);
    } else if (const auto* literal = std::any_cast<const char*>(&value)) {
        if (!*literal) return false;
        writer.string(*literal);
    } else if (const auto* flag = std::any_cast<bool>(&value)) {
        writer.boolean(*flag);
    } else if (const auto* real = std::any_cast<double>(&value)) {
        writer.number(*real);
    } else if (const auto* single = std::any_cast<float>(&value)) {
        writer.number(*single);
    } else if (value.type() == typeid(std::nullptr_t)) {
        writer.null();
    } else if (const auto* object = std::any_cast<UserInfo>(&value)) {
        return writeObject(writer, *object, depth);
    } else if (const auto* array = std::any_cast<AnyArray>(&value)) {
        if (depth > kMaxPushPayloadDepth) return false;
        writer.beginArray();
        for (const auto& element : *array) {
            if (!writeValue(writer, element, depth + 1)) return false;
        }
        writer.endArray();
    } else {
        return writeInteger(writer, value);
    }
    return true;
}

std::optional<std::any> readValue(JsonValue value, std::size_t depth);

std::optional<UserInfo> readObject(JsonValue value, std::size_t depth) {
    UserInfo object;
    for (const JsonValue member : value.children()) {
        auto read = readValue(member, depth + 1);
        if (!read) return std::nullopt;
        // The last of duplicate keys wins, as the record codec reads them.
        object.insert_or_assign(std::string(member.key()), std::move(*read));
    }
    return object;
}

std::optional<std::any> readValue(JsonValue value, std::size_t depth) {
    switch (value.kind()) {
        case JsonKind::Null: return std::any(nullptr);
        case JsonKind::Boolean: return std::any(value.boolean());
        case JsonKind::Integer: return std::any(value.integer());
        case JsonKind::UnsignedInteger: return std::any(value.unsignedInteger());
        case JsonKind::Real: return std::any(value.real());
        case JsonKind::String: return std::any(std::string(value.text()));
        case JsonKind::Array: {
            if (depth > kMaxPushPayloadDepth) return std::nullopt;
            AnyArray array;
            array.reserve(value.size());
            for (const JsonValue element : value.children()) {
                auto read = readValue(element, depth + 1);
                if (!read) return std::nullopt;
                array.push_back(std::move(*read));
            }
            return std::any(std::move(array));
        }
        case JsonKind::Object: {
            if (depth > kMaxPushPayloadDepth) return std::nullopt;
            auto object = readObject(value, depth);
            return object ? std::optional<std::any>(std::any(std::move(*object))) : std::nullopt;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> pushPayloadJson(const UserInfo& payload) {
    JsonWriter writer;
    if (!writeObject(writer, payload, 1)) return std::nullopt;
    auto text = std::move(writer).finish();
    if (!text || text->size() > kMaxPushPayloadBytes) return std::nullopt;
    return text;
}

std::optional<double> payloadNumber(const std::any& value) {
    if (const auto* flag = std::any_cast<bool>(&value)) return *flag ? 1.0 : 0.0;
    if (const auto* real = std::any_cast<double>(&value)) return *real;
    if (const auto* single = std::any_cast<float>(&value)) return *single;
    std::optional<double> number;
    visitInteger(value, [&number](auto integer) { number = static_cast<double>(integer); });
    return number;
}

std::optional<UserInfo> pushPayloadFromJson(std::string_view json, std::string& error) {
    if (json.size() > kMaxPushPayloadBytes) {
        error = "larger than 64 KiB";
        return std::nullopt;
    }
    const auto document = json::JsonDocument::parse(json, error);
    if (!document) return std::nullopt;
    if (document->root().kind() != JsonKind::Object) {
        error = "not a JSON object";
        return std::nullopt;
    }
    auto payload = readObject(document->root(), 1);
    if (!payload) error = "nested deeper than 32 levels";
    return payload;
}

}  // namespace fenk
