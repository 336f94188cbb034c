#include "tools/fenkctl/CommandLine.h"

#include <charconv>
#include <cstdint>
#include <map>
#include <optional>

namespace fenk {
namespace {

constexpr std::string_view kUsage = R"(usage: fenkctl [--data-dir DIR] [--connect-to HOST:PORT] [--json] [--ui none|gtk|print] COMMAND

Each run is one launch of an application that uses the SDK; what the SDK stores stays in the data folder,
so consecutive commands behave like relaunches of that application.

Commands:
  register --platform URL --app-key KEY [--tracking on|off]
                      register the device with the platform at URL (tracking off unless asked for) and
                      print the registration's answer: the resource id or the reason it failed
  token TEXT          set the notifications token to TEXT; prints whether the SDK accepted it
  token --hex BYTES   set the device token from hexadecimal BYTES (even length); prints the same
  device-id           print the device id (created on first use)
  track [--gpsd HOST:PORT] [--count N]
                      follow the receiver that gpsd serves (default 127.0.0.1:2947) as an application in
                      the foreground with tracking on, announcing every position, until interrupted or N
                      positions were announced
  replay TRACE        replay a GPX or NMEA trace in virtual time, as an application in the foreground with
                      tracking on, then print a summary; a progress line shows on a terminal
  replay --synthetic [--weeks N] [--seed S]
                      the same with the generated trace of a commuter (1 week, seed 1 by default)
         [--write-gpx FILE]
                      also keep the replayed trace as GPX in FILE
         [--register URL KEY]
                      register with the platform at URL first, with tracking on; positions are then
                      uploaded, places learned and notices raised, and after the last fix virtual time
                      runs on (up to a day) until every position is delivered
  places              print the learned places, one JSON object per line
  where               print the city, region and country the platform gives for the last stored
                      position, one "kind: name" line each, or (none) without an answer
  groups list|subscribed
                      print the app's groups, or those the user belongs to, one "id: name" line each
  groups find NAME    print the groups whose name holds NAME (in any case)
  groups join|leave ID
                      join or leave the group ID; prints whether the platform agreed
  profile             print the user's habits, one "name: level" line each
  extra "k:v,k2:v2"   send the pairs as the user's extra data (a pair without ":" is skipped); prints
                      the platform's answer
  push FILE|-         show the content of a push payload (JSON, at most 64 KiB) read from FILE or from
                      standard input: a toast, an image, a video or the online player, by its "gType";
                      without --ui gtk there is no window and nothing is shown. Runs until the window is
                      closed
  legal [update]      as the application becomes active, run the legal check and show the owner's terms if
                      they are asked for (the legal screen or the in-app browser), or with "update" open
                      the page announcing changed terms; needs --ui gtk, runs until the window is closed
  permission get NAME print the user's answer to the permission NAME ("permissionTracking", ...), empty if none
  permission set NAME true|false
                      store the user's answer on the platform; prints whether the platform took it
  run                 drive a session of the host from standard input, one JSON object per line:
                        {"push": PAYLOAD}                a remote notification's payload arrives
                        {"lifecycle": "launch"|"active"|"resign"|"background"|"foreground"}
                        {"launch": {"notification": PAYLOAD}}
                                                         a launch from a remote notification
                        {"permission": {"name": NAME, "value": true|false}}
                        {"register": {"platform": URL, "appKey": KEY, "tracking": true|false}}
                        {"wait": MS}                     let MS milliseconds pass (at most 600000)
                        {"tap": "close"|"accept"}        with --ui print: the user taps the top screen's
                                                         close button, or its accept (redirect) button
                        {"closeBrowser": true}           with --ui print: the user closes the in-app browser
                      a line that is none of these is reported on stderr and skipped; each line's work
                      is done before the next is read. At the end of the input it waits for the SDK to
                      be idle and exits, or with --ui gtk once the window is closed
  tour URL            show each kind of screen in turn, a few seconds each, with the media of the local
                      platform at URL (fenk-platform's address, such as http://127.0.0.1:8080); needs --ui gtk

Options:
  --data-dir DIR      keep the SDK's files in DIR (default: $XDG_DATA_HOME/fenk, or ~/.local/share/fenk)
  --connect-to HOST:PORT
                      send every exchange with the platform to HOST:PORT: a platform address has no room
                      for a port, so a platform on port 8080 is registered as http://127.0.0.1 and reached
                      with --connect-to 127.0.0.1:8080 (give it to every command)
  --json              print every event as one JSON object per line: completions, console lines and the
                      SDK's notifications
  --ui none|gtk|print show screens nowhere (the default, a host without a window), in a GTK window, or (for
                      run) as events in the output: "screen", "dismissed", "toast", "browser", "external"
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

template <class Number>
std::optional<Number> parseNumber(std::string_view text, Number least, Number most) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value < least || value > most) return std::nullopt;
    return value;
}

std::variant<Command, UsageError> parseTrack(const std::vector<std::string_view>& words) {
    TrackCommand track;
    for (std::size_t index = 0; index < words.size(); index += 2) {
        const std::string_view name = words[index];
        if (index + 1 == words.size()) return UsageError{"track: " + std::string(name) + " needs a value"};
        const std::string_view value = words[index + 1];
        if (name == "--gpsd") {
            if (!isHostAndPort(value)) return UsageError{"--gpsd needs HOST:PORT"};
            track.gpsd = std::string(value);
        } else if (name == "--count") {
            track.count = parseNumber<long>(value, 1, 1'000'000'000);
            if (!track.count) return UsageError{"--count needs a whole number from 1"};
        } else {
            return UsageError{"track: unknown option " + std::string(name)};
        }
    }
    return track;
}

std::variant<Command, UsageError> parseReplay(const std::vector<std::string_view>& words) {
    ReplayCommand replay;
    std::optional<std::filesystem::path> file;
    std::optional<SyntheticTrace> synthetic;
    std::optional<std::string_view> weeks;
    std::optional<std::string_view> seed;
    for (std::size_t index = 0; index < words.size(); ++index) {
        const std::string_view word = words[index];
        if (word == "--synthetic") {
            synthetic = SyntheticTrace{};
            continue;
        }
        if (word == "--register") {
            if (index + 2 >= words.size() || words[index + 1].empty() || words[index + 2].empty()) {
                return UsageError{"replay: --register needs a platform URL and an app key"};
            }
            replay.registration = RegisterCommand{.platform = std::string(words[index + 1]),
                                                  .appKey = std::string(words[index + 2]),
                                                  .tracking = true};
            index += 2;
            continue;
        }
        if (word == "--weeks" || word == "--seed" || word == "--write-gpx") {
            if (++index == words.size() || words[index].empty()) {
                return UsageError{"replay: " + std::string(word) + " needs a value"};
            }
            if (word == "--weeks") weeks = words[index];
            if (word == "--seed") seed = words[index];
            if (word == "--write-gpx") replay.writeGpx = std::filesystem::path(words[index]);
            continue;
        }
        if (word.starts_with("--") || file) return UsageError{"replay: unexpected " + std::string(word)};
        file = std::filesystem::path(word);
    }
    if (file.has_value() == synthetic.has_value()) return UsageError{"replay takes a TRACE or --synthetic"};
    if (file) {
        if (weeks || seed) return UsageError{"--weeks and --seed go with --synthetic"};
        replay.trace = std::move(*file);
        return replay;
    }
    if (weeks && !(synthetic->weeks = parseNumber<int>(*weeks, 1, 520).value_or(0))) {
        return UsageError{"--weeks needs a whole number from 1 to 520"};
    }
    if (seed) {
        const auto parsed = parseNumber<std::uint64_t>(*seed, 0, UINT64_MAX);
        if (!parsed) return UsageError{"--seed needs a whole number"};
        synthetic->seed = *parsed;
    }
    replay.trace = *synthetic;
    return replay;
}

std::variant<Command, UsageError> parsePermission(const std::vector<std::string_view>& words) {
    if (words.size() == 2 && words[0] == "get" && !words[1].empty()) return PermissionCommand{std::string(words[1]), {}};
    if (words.size() == 3 && words[0] == "set" && !words[1].empty() && (words[2] == "true" || words[2] == "false")) {
        return PermissionCommand{std::string(words[1]), words[2] == "true"};
    }
    return UsageError{"permission takes get NAME, or set NAME true|false"};
}

std::variant<Command, UsageError> parseGroups(const std::vector<std::string_view>& words) {
    using enum GroupsCommand::Action;
    static const std::map<std::string_view, GroupsCommand::Action> kActions{
        {"list", list}, {"subscribed", subscribed}, {"find", find}, {"join", join}, {"leave", leave}};
    const auto action = words.empty() ? kActions.end() : kActions.find(words[0]);
    if (action == kActions.end()) return UsageError{"groups takes list, subscribed, find NAME, join ID or leave ID"};
    const bool takesArgument = action->second == find || action->second == join || action->second == leave;
    if (words.size() != (takesArgument ? 2u : 1u) || (takesArgument && words[1].empty())) {
        return UsageError{"groups " + std::string(words[0]) + (takesArgument ? " takes one argument" : " takes no argument")};
    }
    return GroupsCommand{action->second, takesArgument ? std::string(words[1]) : std::string()};
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
    if (name == "track") return parseTrack(rest);
    if (name == "replay") return parseReplay(rest);
    if (name == "places") {
        if (!rest.empty()) return UsageError{"places takes no arguments"};
        return PlacesCommand{};
    }
    if (name == "where") {
        if (!rest.empty()) return UsageError{"where takes no arguments"};
        return WhereCommand{};
    }
    if (name == "groups") return parseGroups(rest);
    if (name == "profile") {
        if (!rest.empty()) return UsageError{"profile takes no arguments"};
        return ProfileCommand{};
    }
    if (name == "extra") {
        if (rest.size() != 1) return UsageError{"extra takes one text of k:v pairs"};
        return ExtraCommand{std::string(rest[0])};
    }
    if (name == "push") {
        if (rest.size() != 1 || rest[0].empty()) return UsageError{"push takes a FILE, or - for standard input"};
        return PushCommand{std::string(rest[0])};
    }
    if (name == "legal") {
        if (rest.size() > 1 || (rest.size() == 1 && rest[0] != "update")) return UsageError{"legal takes nothing, or update"};
        return LegalCommand{!rest.empty()};
    }
    if (name == "permission") return parsePermission(rest);
    if (name == "run") {
        if (!rest.empty()) return UsageError{"run takes no arguments: it reads its session on standard input"};
        return RunCommand{};
    }
    if (name == "tour") {
        if (rest.size() != 1 || !(rest[0].starts_with("http://") || rest[0].starts_with("https://"))) {
            return UsageError{"tour takes the platform's http(s) address"};
        }
        return TourCommand{std::string(rest[0])};
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
        } else if (argument == "--ui") {
            const std::string_view choice = ++index == arguments.size() ? "" : arguments[index];
            if (choice != "none" && choice != "gtk" && choice != "print") return UsageError{"--ui is none, gtk or print"};
            commandLine.ui = choice == "gtk" ? UiChoice::gtk : choice == "print" ? UiChoice::print : UiChoice::none;
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
    if (std::holds_alternative<TourCommand>(commandLine.command) && commandLine.ui != UiChoice::gtk) {
        return UsageError{"tour needs --ui gtk"};
    }
    if (std::holds_alternative<LegalCommand>(commandLine.command) && commandLine.ui != UiChoice::gtk) {
        return UsageError{"legal needs --ui gtk"};
    }
    if (commandLine.ui == UiChoice::print && !std::holds_alternative<RunCommand>(commandLine.command)) {
        return UsageError{"--ui print goes with run"};
    }
    return commandLine;
}

std::string_view usageText() { return kUsage; }

}  // namespace fenk
