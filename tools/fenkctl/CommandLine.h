#pragma once

#include "FenkSDK/runtime/Data.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace fenk {

struct RegisterCommand {
    std::string platform;
    std::string appKey;
    bool tracking = false;
};

// Text goes to setNotificationsToken, bytes to setDataNotificationsToken.
struct TokenCommand {
    std::variant<std::string, Data> token;
};

struct DeviceIdCommand {};
struct HelpCommand {};

// Follows a receiver through gpsd until interrupted, or until `count` positions were announced.
struct TrackCommand {
    std::string gpsd = "127.0.0.1:2947";
    std::optional<long> count;
};

struct SyntheticTrace {
    int weeks = 1;
    std::uint64_t seed = 1;
};

// Replays a recorded trace, or a generated commuter's, in virtual time; registers first when asked.
struct ReplayCommand {
    std::variant<std::filesystem::path, SyntheticTrace> trace;
    std::optional<std::filesystem::path> writeGpx;
    std::optional<RegisterCommand> registration;
};

struct PlacesCommand {};

// Asks the platform where the device was last seen.
struct WhereCommand {};

// The user's groups on the platform: all of them, the user's, those whose name holds the text; or joins or
// leaves the group the text names.
struct GroupsCommand {
    enum class Action { list, subscribed, find, join, leave };
    Action action = Action::list;
    std::string argument{};
};

// Prints the user's habits.
struct ProfileCommand {};

// Sends "k:v,k2:v2" as the user's extra data.
struct ExtraCommand {
    std::string text;
};

// Shows the content of a push payload read from a file, or from standard input for "-".
struct PushCommand {
    std::string source;
};

// Shows each kind of screen in turn, with media from the local platform at `mediaServer`.
struct TourCommand {
    std::string mediaServer;
};

// Drives a whole session of the host from JSON lines on standard input: pushes, lifecycle, launches,
// permissions, registrations and waits.
struct RunCommand {};

// The owner's legal terms in a window: as an activation asks for them, or the page announcing changed terms.
struct LegalCommand {
    bool update = false;
};

// Reads the user's answer to a permission question, or stores one when a value is given.
struct PermissionCommand {
    std::string name;
    std::optional<bool> value;
};

using Command = std::variant<RegisterCommand, TokenCommand, DeviceIdCommand, HelpCommand, TrackCommand,
                             ReplayCommand, PlacesCommand, WhereCommand, PushCommand, TourCommand, GroupsCommand,
                             ProfileCommand, ExtraCommand, LegalCommand, PermissionCommand, RunCommand>;

// Where screens go: nowhere (a host without a window), a GTK window, or (for run) only into the output.
enum class UiChoice { none, gtk, print };

struct CommandLine {
    std::optional<std::filesystem::path> dataFolder;
    // HOST:PORT that every exchange goes to instead of the one its address names.
    std::optional<std::string> connectTo;
    bool json = false;
    UiChoice ui = UiChoice::none;
    Command command;
};

struct UsageError {
    std::string message;
};

// Reads the arguments after the program name. The global options may stand anywhere.
std::variant<CommandLine, UsageError> parseCommandLine(const std::vector<std::string_view>& arguments);

std::string_view usageText();

}  // namespace fenk
