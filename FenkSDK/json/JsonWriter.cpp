#include "FenkSDK/json/JsonWriter.h"

#include "FenkSDK/runtime/Data.h"
#include "FenkSDK/runtime/Utf8.h"

#include <array>
#include <charconv>
#include <cmath>
#include <utility>

namespace fenk::json {
namespace {

enum class ByteClass : std::uint8_t { Plain, Escaped, NonAscii };

constexpr std::array<ByteClass, 256> byteClasses = [] {
    std::array<ByteClass, 256> classes{};
    for (std::size_t byte = 0; byte < classes.size(); ++byte) {
        if (byte < 0x20 || byte == '"' || byte == '\\') classes[byte] = ByteClass::Escaped;
        if (byte >= 0x80) classes[byte] = ByteClass::NonAscii;
    }
    return classes;
}();

void appendEscaped(std::string& out, unsigned char byte) {
    switch (byte) {
        case '"': out += "\\\""; return;
        case '\\': out += "\\\\"; return;
        case '\b': out += "\\b"; return;
        case '\f': out += "\\f"; return;
        case '\n': out += "\\n"; return;
        case '\r': out += "\\r"; return;
        case '\t': out += "\\t"; return;
        default: {
            out += "\\u00";
            appendHexByte(out, byte, HexDigits::lower);
        }
    }
}

}  // namespace

void JsonWriter::separate() {
    if (needsComma_) out_ += ',';
    needsComma_ = true;
}

void JsonWriter::beginObject() {
    separate();
    out_ += '{';
    needsComma_ = false;
}

void JsonWriter::endObject() {
    out_ += '}';
    needsComma_ = true;
}

void JsonWriter::beginArray() {
    separate();
    out_ += '[';
    needsComma_ = false;
}

void JsonWriter::endArray() {
    out_ += ']';
    needsComma_ = true;
}

void JsonWriter::key(std::string_view name) {
    separate();
    appendQuoted(name);
    out_ += ':';
    needsComma_ = false;
}

void JsonWriter::string(std::string_view text) {
    separate();
    appendQuoted(text);
}

void JsonWriter::boolean(bool value) {
    separate();
    out_ += value ? "true" : "false";
}

void JsonWriter::null() {
    separate();
    out_ += "null";
}

void JsonWriter::integer(std::int64_t value) {
    separate();
    std::array<char, 24> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    out_.append(digits.data(), result.ptr);
}

void JsonWriter::number(double value) { appendNumber(value); }

void JsonWriter::number(float value) { appendNumber(value); }

template <class Floating>
void JsonWriter::appendNumber(Floating value) {
    separate();
    if (!std::isfinite(value)) {
        failed_ = true;
        return;
    }
    std::array<char, 32> digits{};
    // Past the 64-bit integers (below -2^63, from 2^64) a whole number keeps its exponent: readers refuse integers
    // that long.
    const bool integerRange = value >= static_cast<Floating>(-0x1p63) && value < static_cast<Floating>(0x1p64);
    const auto result = integerRange
                            ? std::to_chars(digits.data(), digits.data() + digits.size(), value)
                            : std::to_chars(digits.data(), digits.data() + digits.size(), value, std::chars_format::scientific);
    out_.append(digits.data(), result.ptr);
}

void JsonWriter::appendQuoted(std::string_view text) {
    out_.reserve(out_.size() + text.size() + 2);
    out_ += '"';
    bool ascii = true;
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const ByteClass byteClass = byteClasses[byte];
        if (byteClass == ByteClass::Plain) continue;
        if (byteClass == ByteClass::NonAscii) {
            ascii = false;
            continue;
        }
        out_.append(text.data() + runStart, i - runStart);
        appendEscaped(out_, byte);
        runStart = i + 1;
    }
    out_.append(text.data() + runStart, text.size() - runStart);
    out_ += '"';
    // Plain ASCII is the common case and is always valid; only text with high bytes needs checking.
    if (!ascii && !isValidUtf8(text)) failed_ = true;
}

std::optional<std::string> JsonWriter::finish() && {
    if (failed_) return std::nullopt;
    return std::move(out_);
}

}  // namespace fenk::json
