#pragma once

#include "FenkSDK/api/FG_GroupData.h"
#include "FenkSDK/api/FG_UserHabit.h"
#include "FenkSDK/runtime/NotificationCenter.h"

#include <map>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace fenk {

struct StoredLocation;

// Names by kind ("city", "region", "country"), as the user-location check answers them.
using PlaceNames = std::optional<std::map<std::string, std::string>>;

// The account calls' lists, which may be absent.
using GroupList = std::optional<std::vector<FG_GroupData>>;
using HabitList = std::optional<std::vector<FG_UserHabit>>;

// What a completion handed back: a text that may be absent, a boolean, names that may be absent, or a list.
using CompletionValue = std::variant<std::optional<std::string>, bool, PlaceNames, GroupList, HabitList>;

// Writes what happens during a command to one stream, from any thread, one line per event. Plain text
// shows only completion values (the console keeps its own sink), with control characters and the
// backslash escaped as \xHH and \\; JSON shows every event.
class EventPrinter {
public:
    enum class Format { plain, json };

    EventPrinter(Format format, std::ostream& out) : format_(format), out_(out) {}

    void completion(std::string_view operation, const CompletionValue& value);
    void consoleLine(std::string_view line);
    void notification(const Notification& notification);
    // Plain output only: "location u4pruyd 40.4168000 -3.7038000 2026-01-05T08:00:00.000000Z". JSON output
    // already shows the record in its notification.
    void position(const StoredLocation& record);
    // Something the host saw happen, with its named texts; plain output writes "name text text ...".
    void event(std::string_view name, const std::vector<std::pair<std::string, std::string>>& texts);
    // A closing object of named counts and texts; plain output writes "name: value" lines.
    void summary(const std::vector<std::pair<std::string, std::string>>& texts,
                 const std::vector<std::pair<std::string, double>>& numbers);

private:
    void writeLine(const std::string& line);

    const Format format_;
    std::mutex mutex_;
    std::ostream& out_;
};

}  // namespace fenk
