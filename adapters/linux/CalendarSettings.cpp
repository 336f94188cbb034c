#include "adapters/linux/CalendarSettings.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fenk {
namespace {

std::optional<std::string> environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

std::string_view trimmed(std::string_view text) {
    constexpr std::string_view kBlank = " \t\r\n";
    const auto first = text.find_first_not_of(kBlank);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlank) - first + 1);
}

// "Europe/Madrid", ":Europe/Madrid" and "/usr/share/zoneinfo/Europe/Madrid" all name Europe/Madrid; another
// absolute path names nothing we can use.
std::optional<std::string> zoneName(const std::optional<std::string>& source) {
    if (!source) return std::nullopt;
    std::string_view name = trimmed(*source);
    if (name.starts_with(':')) name.remove_prefix(1);
    constexpr std::string_view kZoneFolder = "zoneinfo/";
    if (const auto folder = name.rfind(kZoneFolder); folder != std::string_view::npos) {
        name.remove_prefix(folder + kZoneFolder.size());
    } else if (name.starts_with('/')) {
        return std::nullopt;
    }
    if (name.empty()) return std::nullopt;
    return std::string(name);
}

std::optional<std::string> firstLine(const char* path) {
    std::ifstream file(path);
    std::string line;
    if (!file || !std::getline(file, line)) return std::nullopt;
    return line;
}

std::optional<std::string> linkTarget(const char* path) {
    std::error_code error;
    const std::filesystem::path target = std::filesystem::read_symlink(path, error);
    if (error) return std::nullopt;
    return target.string();
}

}  // namespace

CalendarSources CalendarSources::read() {
    return {environment("TZ"),  firstLine("/etc/timezone"), linkTarget("/etc/localtime"),
            environment("LC_ALL"), environment("LC_TIME"),  environment("LANG")};
}

std::string timeZoneIdentifier(const CalendarSources& sources) {
    for (const auto* source : {&sources.tzVariable, &sources.etcTimezone, &sources.localtimeTarget}) {
        if (auto name = zoneName(*source)) return std::move(*name);
    }
    return "UTC";
}

std::string localeIdentifier(const CalendarSources& sources) {
    for (const auto* source : {&sources.lcAll, &sources.lcTime, &sources.lang}) {
        if (!*source || (*source)->empty()) continue;
        const std::string_view value = **source;
        const std::string_view name = value.substr(0, value.find_first_of(".@"));
        if (name.empty() || name == "C" || name == "POSIX") break;
        return std::string(name);
    }
    return "en_US_POSIX";
}

}  // namespace fenk
