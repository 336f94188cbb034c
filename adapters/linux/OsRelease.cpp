#include "adapters/linux/OsRelease.h"

namespace fenk {
namespace {

constexpr std::string_view kBlank = " \t\r";

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(kBlank);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlank) - first + 1);
}

// The value of a shell word: quoted parts lose their quotes, a backslash escapes the next character (inside
// double quotes only before $ ` " \), and the word ends at the first unquoted blank. None when a quote is
// left open.
std::optional<std::string> shellWordValue(std::string_view word) {
    std::string value;
    char openQuote = 0;
    for (std::size_t index = 0; index < word.size(); ++index) {
        const char character = word[index];
        if (openQuote == '\'') {
            if (character == '\'') openQuote = 0;
            else value.push_back(character);
        } else if (character == '\\' && index + 1 < word.size() &&
                   (openQuote == 0 || std::string_view("$`\"\\").find(word[index + 1]) != std::string_view::npos)) {
            value.push_back(word[++index]);
        } else if (openQuote == '"') {
            if (character == '"') openQuote = 0;
            else value.push_back(character);
        } else if (character == '"' || character == '\'') {
            openQuote = character;
        } else if (kBlank.find(character) != std::string_view::npos) {
            break;
        } else {
            value.push_back(character);
        }
    }
    if (openQuote != 0) return std::nullopt;
    return value;
}

}  // namespace

std::optional<std::string> osReleaseVersion(std::string_view text) {
    std::string versionId;
    std::string version;
    while (!text.empty()) {
        const auto lineEnd = text.find('\n');
        const std::string_view line = trimmed(text.substr(0, lineEnd));
        text = lineEnd == std::string_view::npos ? std::string_view() : text.substr(lineEnd + 1);

        const auto equals = line.find('=');
        if (line.starts_with('#') || equals == std::string_view::npos) continue;
        const std::string_view key = trimmed(line.substr(0, equals));
        std::string* target = key == "VERSION_ID" ? &versionId : key == "VERSION" ? &version : nullptr;
        if (target == nullptr) continue;
        if (auto value = shellWordValue(trimmed(line.substr(equals + 1)))) *target = std::move(*value);
    }
    if (!versionId.empty()) return versionId;
    if (!version.empty()) return version;
    return std::nullopt;
}

}  // namespace fenk
