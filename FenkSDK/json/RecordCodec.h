#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>

#include "FenkSDK/json/DecodeError.h"
#include "FenkSDK/json/JsonDocument.h"
#include "FenkSDK/json/JsonWriter.h"
#include "FenkSDK/json/ValueCodec.h"

// Records are plain structs that list their fields once; that one list drives decoding and encoding:
//
//     struct FG_Extra {
//         std::optional<std::string> name{};
//         std::optional<std::string> value{};
//         static constexpr auto jsonFields = std::tuple{json::field("name", &FG_Extra::name),
//                                                       json::field("value", &FG_Extra::value)};
//     };
//
// An optional member is left absent by a missing key or JSON null and is not written while absent.
// A plain (non-optional) member is required: without it the whole decode fails. Unknown keys are ignored.
// Members carry `{}` so that a designated initialiser may name only some of them without warnings.
namespace fenk::json {

template <class T>
struct IsOptional : std::false_type {};
template <class T>
struct IsOptional<std::optional<T>> : std::true_type {};

template <class Record, class Member>
struct Field {
    static constexpr bool required = !IsOptional<Member>::value;
    std::string_view key;
    Member Record::*member;
};

template <class Record, class Member>
constexpr Field<Record, Member> field(std::string_view key, Member Record::*member) {
    return {key, member};
}

template <class T>
concept JsonRecord = requires { std::tuple_size<std::remove_cvref_t<decltype(T::jsonFields)>>::value; };

namespace detail {

template <class T>
bool readMember(JsonValue value, T& out, DecodeError& error) {
    if (value.isNull()) return error.fail("required value is null");
    return ValueCodec<T>::read(value, out, error);
}

template <class T>
bool readMember(JsonValue value, std::optional<T>& out, DecodeError& error) {
    if (value.isNull()) {
        out.reset();
        return true;
    }
    return ValueCodec<T>::read(value, out.emplace(), error);
}

template <class T>
void writeMember(JsonWriter& writer, std::string_view key, const T& value) {
    writer.key(key);
    ValueCodec<T>::write(writer, value);
}

template <class T>
void writeMember(JsonWriter& writer, std::string_view key, const std::optional<T>& value) {
    if (value) writeMember(writer, key, *value);
}

}  // namespace detail

template <JsonRecord T>
struct ValueCodec<T> {
    static bool read(JsonValue value, T& out, DecodeError& error) {
        if (value.kind() != JsonKind::Object) return error.expected("an object", value);
        std::uint64_t seen = 0;
        std::size_t expected = 0;  // members usually arrive in declaration order: look there first
        for (JsonValue member : value.children()) {
            for (std::size_t tried = 0; tried < fieldCount; ++tried) {
                const std::size_t index = (expected + tried) % fieldCount;
                if (member.key() != keys[index]) continue;
                // The last of duplicate keys wins.
                if (!readers[index](member, out, error)) {
                    error.insideKey(member.key());
                    return false;
                }
                seen |= std::uint64_t{1} << index;
                expected = index + 1;
                break;
            }
        }
        if (const std::uint64_t missing = requiredMask & ~seen; missing != 0) {
            return error.fail("missing required key \"" + std::string(keys[std::countr_zero(missing)]) + "\"");
        }
        return true;
    }

    static void write(JsonWriter& writer, const T& value) {
        writer.beginObject();
        std::apply([&](const auto&... fields) { (detail::writeMember(writer, fields.key, value.*fields.member), ...); },
                   T::jsonFields);
        writer.endObject();
    }

private:
    static constexpr std::size_t fieldCount = std::tuple_size_v<std::remove_cvref_t<decltype(T::jsonFields)>>;
    static_assert(fieldCount > 0 && fieldCount <= 64, "a record tracks its fields in one 64-bit mask");

    template <std::size_t I>
    static bool readField(JsonValue member, T& out, DecodeError& error) {
        return detail::readMember(member, out.*std::get<I>(T::jsonFields).member, error);
    }

    using Reader = bool (*)(JsonValue, T&, DecodeError&);
    static constexpr auto readers = []<std::size_t... I>(std::index_sequence<I...>) {
        return std::array<Reader, fieldCount>{&readField<I>...};
    }(std::make_index_sequence<fieldCount>{});

    static constexpr auto keys = std::apply([](const auto&... fields) { return std::array{fields.key...}; },
                                            T::jsonFields);

    static constexpr std::uint64_t requiredMask = std::apply(
        [](const auto&... fields) {
            std::uint64_t mask = 0;
            std::uint64_t bit = 1;
            ((mask |= std::remove_cvref_t<decltype(fields)>::required ? bit : 0, bit <<= 1), ...);
            return mask;
        },
        T::jsonFields);
};

// Encodes a record, a std::vector of records, a std::map<std::string, record> or a scalar; nullopt when
// the value cannot be written as JSON (NaN, infinity, or text that is not UTF-8).
template <class T>
std::optional<std::string> encode(const T& value) {
    JsonWriter writer;
    ValueCodec<T>::write(writer, value);
    return std::move(writer).finish();
}

// Decodes; on failure returns nullopt and, when `error` is given, a one-line human-readable reason
// (this text is printed to the console by callers).
template <class T>
std::optional<T> decode(std::string_view json, std::string* error = nullptr) {
    std::string parseError;
    const std::optional<JsonDocument> document = JsonDocument::parse(json, parseError);
    if (!document) {
        if (error) *error = std::move(parseError);
        return std::nullopt;
    }
    std::optional<T> value(std::in_place);
    DecodeError decodeError;
    if (!ValueCodec<T>::read(document->root(), *value, decodeError)) {
        if (error) *error = decodeError.message();
        return std::nullopt;
    }
    return value;
}

}  // namespace fenk::json
