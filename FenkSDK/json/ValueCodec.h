#pragma once

#include <cmath>
#include <concepts>
#include <cstdint>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "FenkSDK/json/DecodeError.h"
#include "FenkSDK/json/JsonDocument.h"
#include "FenkSDK/json/JsonWriter.h"

namespace fenk::json {

// How one C++ type travels as a JSON value. A type becomes codable by specialising this with
//     static bool read(JsonValue value, T& out, DecodeError& error);  // false (with a reason) on a bad value
//     static void write(JsonWriter& writer, const T& value);
// Types are strict: nothing is coerced (a number never becomes text, nor text a number).
template <class T>
struct ValueCodec;

template <>
struct ValueCodec<std::string> {
    static bool read(JsonValue value, std::string& out, DecodeError& error) {
        if (value.kind() != JsonKind::String) return error.expected("a string", value);
        out.assign(value.text());
        return true;
    }
    static void write(JsonWriter& writer, const std::string& value) { writer.string(value); }
};

template <>
struct ValueCodec<bool> {
    static bool read(JsonValue value, bool& out, DecodeError& error) {
        if (value.kind() != JsonKind::Boolean) return error.expected("a boolean", value);
        out = value.boolean();
        return true;
    }
    static void write(JsonWriter& writer, bool value) { writer.boolean(value); }
};

// Whole numbers only: 1.5 and 1.0 are both refused, as is anything outside the type's range.
template <std::signed_integral T>
struct ValueCodec<T> {
    static bool read(JsonValue value, T& out, DecodeError& error) {
        if (value.kind() == JsonKind::UnsignedInteger) return error.fail("integer out of range");
        if (value.kind() != JsonKind::Integer) return error.expected("an integer", value);
        const std::int64_t number = value.integer();
        if (number < std::numeric_limits<T>::min() || number > std::numeric_limits<T>::max()) {
            return error.fail("integer out of range");
        }
        out = static_cast<T>(number);
        return true;
    }
    static void write(JsonWriter& writer, T value) { writer.integer(value); }
};

template <>
struct ValueCodec<double> {
    static bool read(JsonValue value, double& out, DecodeError& error) {
        switch (value.kind()) {
            case JsonKind::Real: out = value.real(); return true;
            case JsonKind::Integer: out = static_cast<double>(value.integer()); return true;
            case JsonKind::UnsignedInteger: out = static_cast<double>(value.unsignedInteger()); return true;
            default: return error.expected("a number", value);
        }
    }
    static void write(JsonWriter& writer, double value) { writer.number(value); }
};

// Single precision: a number beyond a float's range is refused rather than turned into infinity.
template <>
struct ValueCodec<float> {
    static bool read(JsonValue value, float& out, DecodeError& error) {
        double number = 0;
        if (!ValueCodec<double>::read(value, number, error)) return false;
        if (std::fabs(number) > static_cast<double>(std::numeric_limits<float>::max())) {
            return error.fail("number out of range");
        }
        out = static_cast<float>(number);
        return true;
    }
    static void write(JsonWriter& writer, float value) { writer.number(value); }
};

template <class Element>
struct ValueCodec<std::vector<Element>> {
    static bool read(JsonValue value, std::vector<Element>& out, DecodeError& error) {
        if (value.kind() != JsonKind::Array) return error.expected("an array", value);
        out.clear();
        out.reserve(value.size());
        for (JsonValue element : value.children()) {
            if (!ValueCodec<Element>::read(element, out.emplace_back(), error)) {
                error.insideIndex(out.size() - 1);
                return false;
            }
        }
        return true;
    }
    static void write(JsonWriter& writer, const std::vector<Element>& value) {
        writer.beginArray();
        for (const Element& element : value) ValueCodec<Element>::write(writer, element);
        writer.endArray();
    }
};

template <class Element>
struct ValueCodec<std::map<std::string, Element>> {
    static bool read(JsonValue value, std::map<std::string, Element>& out, DecodeError& error) {
        if (value.kind() != JsonKind::Object) return error.expected("an object", value);
        out.clear();
        for (JsonValue member : value.children()) {
            Element element{};
            if (!ValueCodec<Element>::read(member, element, error)) {
                error.insideKey(member.key());
                return false;
            }
            out.insert_or_assign(std::string(member.key()), std::move(element));
        }
        return true;
    }
    static void write(JsonWriter& writer, const std::map<std::string, Element>& value) {
        writer.beginObject();
        for (const auto& [name, element] : value) {
            writer.key(name);
            ValueCodec<Element>::write(writer, element);
        }
        writer.endObject();
    }
};

}  // namespace fenk::json
