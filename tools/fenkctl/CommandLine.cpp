#include "tools/fenkctl/CommandLine.h"

#include <map>
#include <optional>

namespace fenk {
namespace {

constexpr std::string_view kUsage = R"(usage: fenkctl [--data-dir DIR] [--connect-to HOST:PORT] [--json] COMMAND

Each run is one launch of an application that uses the SDK; what the SDK stores stays in the data folder,
so consecutive commands behave like relaunches of that application.

Commands:
  register --platform URL --app-key KEY [--tracking on|off]
                      register the device with the platform at URL (tracking off unless asked for) and
                      print the registration's answer: the resource id or the reason it failed
  token TEXT          set the notifications token to TEXT; prints whether the SDK accepted it
  token --hex BYTES   set the device token from hexadecimal BYTES (even length); prints the same
  device-id           print the device id (created on first use)

Options:
  --data-dir DIR      keep the SDK's files in DIR (default: $XDG_DATA_HOME/fenk, or ~/.local/share/fenk)
  --connect-to HOST:PORT
                      send every exchange with the platform to HOST:PORT: a platform address has no room
                      for a port, so a platform on port 8080 is registered as http://127.0.0.1 and reached
                      with --connect-to 127.0.0.1:8080 (give it to every command)
  --json              print every event as one JSON object per line: completions, console lines and the
                      SDK's notifications
  --help              print this text

The command waits until the SDK has answered and finished its work, then exits 0. A bad argument exits 2;
an answer that never comes (120 s) exits 1.
)";

std::optional<Data> bytesFromHex(std::string_view hex) {
    const auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    if (hex.size() % 2 != 0) return std::nullopt;
    Data bytes;
    for (std::size_t index = 0; index < hex.size(); index += 2) {
        const int high = digit(hex[index]);
        const int low = digit(hex[index + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return bytes;
}

bool isHostAndPort(std::string_view text) {
    const auto colon = text.rfind(':');
    if (colon == std::string_view::npos || colon == 0 || colon + 1 == text.size()) return false;
    const std::string_view port = text.substr(colon + 1);
    return port.size() <= 5 && port.find_first_not_of("0123456789") == std::string_view::npos;
}

std::variant<Command, UsageError> parseRegister(const std::vector<std::string_view>& words) {
    std::map<std::string_view, std::string_view> options;
    for (std::size_t index = 0; index < words.size(); index += 2) {
        const std::string_view name = words[index];
        if (name != "--platform" && name != "--app-key" && name != "--tracking") {
            return UsageError{"register: unknown option " + std::string(name)};
        }
        if (index + 1 == words.size()) return UsageError{"register: " + std::string(name) + " needs a value"};
        options[name] = words[index + 1];
    }
    if (!options.contains("--platform") || !options.contains("--app-key")) {
        return UsageError{"register needs --platform and --app-key"};
    }
    const std::string_view tracking = options.contains("--tracking") ? options["--tracking"] : "off";
    if (tracking != "on" && tracking != "off") return UsageError{"--tracking is on or off"};
    return RegisterCommand{std::string(options["--platform"]), std::string(options["--app-key"]), tracking == "on"};
}

std::variant<Command, UsageError> parseToken(const std::vector<std::string_view>& words) {
    if (words.size() == 1 && words[0] != "--hex") return TokenCommand{std::string(words[0])};
    if (words.size() != 2 || words[0] != "--hex") return UsageError{"token takes TEXT or --hex BYTES"};
    auto bytes = bytesFromHex(words[1]);
    if (!bytes) return UsageError{"--hex needs an even number of hexadecimal digits"};
    return TokenCommand{std::move(*bytes)};
}

std::variant<Command, UsageError> parseCommand(const std::vector<std::string_view>& words) {
    if (words.empty()) return UsageError{"no command given"};
    const std::string_view name = words.front();
    const std::vector<std::string_view> rest(words.begin() + 1, words.end());
    if (name == "register") return parseRegister(rest);
    if (name == "token") return parseToken(rest);
    if (name == "device-id") {
        if (!rest.empty()) return UsageError{"device-id takes no arguments"};
        return DeviceIdCommand{};
    }
    return UsageError{"unknown command " + std::string(name)};
}

}  // namespace

std::variant<CommandLine, UsageError> parseCommandLine(const std::vector<std::string_view>& arguments) {
    CommandLine commandLine;
    std::vector<std::string_view> words;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::string_view argument = arguments[index];
        if (argument == "--help" || argument == "-h") {
            commandLine.command = HelpCommand{};
            return commandLine;
        }
        if (argument == "--json") {
            commandLine.json = true;
        } else if (argument == "--data-dir") {
            if (++index == arguments.size() || arguments[index].empty()) return UsageError{"--data-dir needs a folder"};
            commandLine.dataFolder = std::filesystem::path(arguments[index]);
        } else if (argument == "--connect-to") {
            if (++index == arguments.size() || !isHostAndPort(arguments[index])) {
                return UsageError{"--connect-to needs HOST:PORT"};
            }
            commandLine.connectTo = std::string(arguments[index]);
        } else {
            words.push_back(argument);
        }
    }
    auto command = parseCommand(words);
    if (auto* error = std::get_if<UsageError>(&command)) return std::move(*error);
    commandLine.command = std::move(std::get<Command>(command));
    return commandLine;
}

std::string_view usageText() { return kUsage; }

}  // namespace fenk
