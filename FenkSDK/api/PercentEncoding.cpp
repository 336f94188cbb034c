#include "FenkSDK/api/PercentEncoding.h"

#include "FenkSDK/runtime/Data.h"

#include <array>
#include <cstdint>

namespace fenk {
namespace {

// The bytes a text may keep as they are; every other byte is escaped.
class CharacterSet {
public:
    constexpr explicit CharacterSet(std::string_view characters) { add(characters); }

    static constexpr CharacterSet allExcept(std::string_view characters) {
        CharacterSet set{""};
        set.members_.fill(true);
        set.remove(characters);
        return set;
    }

    constexpr CharacterSet with(std::string_view characters) const {
        CharacterSet set = *this;
        set.add(characters);
        return set;
    }
    constexpr CharacterSet without(std::string_view characters) const {
        CharacterSet set = *this;
        set.remove(characters);
        return set;
    }
    constexpr bool contains(char character) const { return members_[static_cast<std::uint8_t>(character)]; }

private:
    constexpr void add(std::string_view characters) {
        for (const char character : characters) members_[static_cast<std::uint8_t>(character)] = true;
    }
    constexpr void remove(std::string_view characters) {
        for (const char character : characters) members_[static_cast<std::uint8_t>(character)] = false;
    }

    std::array<bool, 256> members_{};
};

constexpr CharacterSet kUnreserved{"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~"};
// What a URL may carry outside its fragment, '%' aside (escapes are judged one by one).
constexpr CharacterSet kUrlText = kUnreserved.with("!$&'()*+,/:;=?@");
constexpr CharacterSet kQueryComponent = kUrlText.without("&=+");
constexpr CharacterSet kPathSegment = kUnreserved.with("!$&'()*+,:;=@");
constexpr CharacterSet kFormValue = CharacterSet::allExcept(":/?@!$&'()*+,;=%");
constexpr CharacterSet kExtraPiece = CharacterSet::allExcept("%,:");

bool isHexDigit(char character) {
    return (character >= '0' && character <= '9') || (character >= 'A' && character <= 'F') ||
           (character >= 'a' && character <= 'f');
}

bool startsValidEscape(std::string_view text, std::size_t index) {
    return text[index] == '%' && index + 2 < text.size() && isHexDigit(text[index + 1]) && isHexDigit(text[index + 2]);
}

void appendEscaped(std::string& out, char character) {
    const auto byte = static_cast<std::uint8_t>(character);
    out += '%';
    appendHexByte(out, byte, HexDigits::upper);
}

std::string percentEncode(std::string_view text, const CharacterSet& kept) {
    std::string out;
    out.reserve(text.size());
    for (const char character : text) {
        if (kept.contains(character)) {
            out += character;
        } else {
            appendEscaped(out, character);
        }
    }
    return out;
}

}  // namespace

std::string encodeUrlText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t index = 0; index < text.size(); ++index) {
        const char character = text[index];
        if (kUrlText.contains(character) || startsValidEscape(text, index)) {
            out += character;
        } else {
            appendEscaped(out, character);
        }
    }
    return out;
}

std::string encodeQueryComponent(std::string_view text) { return percentEncode(text, kQueryComponent); }

std::string encodePathSegment(std::string_view text) { return percentEncode(text, kPathSegment); }

std::string encodeFormValue(std::string_view text) {
    std::string out = percentEncode(text, kFormValue);
    for (char& character : out) {
        if (character == ' ') character = '+';
    }
    return out;
}

std::string encodeExtraPiece(std::string_view text) { return percentEncode(text, kExtraPiece); }

Data formEncode(const RequestParameters& parameters) {
    std::string body;
    std::string_view separator;
    for (const auto& [name, value] : parameters) {
        body += separator;
        separator = "&";
        body += encodeFormValue(name);
        body += '=';
        body += encodeFormValue(value);
    }
    return toData(body);
}

}  // namespace fenk
