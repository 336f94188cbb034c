#pragma once

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
//         std::optional<std::string> name;
//         std::optional<std::string> value;
//         static constexpr auto jsonFields = std::tuple{json::field("name", &FG_Extra::name),
//                                                       json::field("value", &FG_Extra::value)};
//     };
//
// An optional member is left absent by a missing key or JSON null and is not written while absent.
// A plain (non-optional) member is required: without it the whole decode fails. Unknown keys are ignored.
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
        for (JsonValue member : value.children()) {
            if (!readMember(member, out, seen, error, Indices{})) {
                error.insideKey(member.key());
                return false;
            }
        }
        if ((seen & requiredMask) != requiredMask) {
            return error.fail("missing required key \"" + std::string(firstMissingKey(seen)) + "\"");
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
    static_assert(fieldCount <= 64, "a record tracks its fields in one 64-bit mask");
    using Indices = std::make_index_sequence<fieldCount>;

    static constexpr std::uint64_t requiredMask = std::apply(
        [](const auto&... fields) {
            std::uint64_t mask = 0;
            std::uint64_t bit = 1;
            ((mask |= std::remove_cvref_t<decltype(fields)>::required ? bit : 0, bit <<= 1), ...);
            return mask;
        },
        T::jsonFields);

    // Reads `member` into the field with its key (the last of duplicate keys wins); unknown keys are skipped.
    template <std::size_t... I>
    static bool readMember(JsonValue member, T& out, std::uint64_t& seen, DecodeError& error,
                           std::index_sequence<I...>) {
        bool ok = true;
        const auto tryField = [&](const auto& field, std::uint64_t bit) {
            if (member.key() != field.key) return false;
            ok = detail::readMember(member, out.*field.member, error);
            seen |= bit;
            return true;
        };
        (tryField(std::get<I>(T::jsonFields), std::uint64_t{1} << I) || ...);
        return ok;
    }

    static std::string_view firstMissingKey(std::uint64_t seen) {
        return std::apply(
            [&](const auto&... fields) {
                std::string_view missing;
                std::uint64_t bit = 1;
                ((missing = missing.empty() && fields.required && (seen & bit) == 0 ? fields.key : missing, bit <<= 1),
                 ...);
                return missing;
            },
            T::jsonFields);
    }
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
