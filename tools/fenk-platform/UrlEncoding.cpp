#include "tools/fenk-platform/UrlEncoding.h"

namespace fenk {
namespace {

std::optional<int> hexValue(char digit) {
    if (digit >= '0' && digit <= '9') return digit - '0';
    if (digit >= 'a' && digit <= 'f') return digit - 'a' + 10;
    if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
    return std::nullopt;
}

std::string decode(std::string_view text, bool plusIsSpace) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t index = 0; index < text.size(); ++index) {
        const char character = text[index];
        if (character == '+' && plusIsSpace) {
            decoded.push_back(' ');
            continue;
        }
        if (character == '%' && index + 2 < text.size()) {
            const auto high = hexValue(text[index + 1]);
            const auto low = hexValue(text[index + 2]);
            if (high && low) {
                decoded.push_back(static_cast<char>(*high * 16 + *low));
                index += 2;
                continue;
            }
        }
        decoded.push_back(character);
    }
    return decoded;
}

}  // namespace

std::string decodePercentEscapes(std::string_view text) { return decode(text, false); }

void forEachPiece(std::string_view text, char separator, const std::function<void(std::string_view)>& visit) {
    while (!text.empty()) {
        const std::size_t end = text.find(separator);
        visit(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    }
}

NameValueList parseUrlEncoded(std::string_view text) {
    NameValueList pairs;
    forEachPiece(text, '&', [&](std::string_view piece) {
        if (piece.empty()) return;
        const std::size_t equals = piece.find('=');
        pairs.emplace_back(decode(piece.substr(0, equals), true),
                           equals == std::string_view::npos ? std::string{} : decode(piece.substr(equals + 1), true));
    });
    return pairs;
}

std::optional<std::string> lastValue(const NameValueList& pairs, std::string_view name) {
    for (auto pair = pairs.rbegin(); pair != pairs.rend(); ++pair) {
        if (pair->first == name) return pair->second;
    }
    return std::nullopt;
}

}  // namespace fenk
