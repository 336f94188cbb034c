#include "tools/fenkctl/EventPrinter.h"

#include "FenkSDK/api/UsableIdentifier.h"
#include "FenkSDK/json/JsonWriter.h"
#include "FenkSDK/json/RecordCodec.h"
#include "FenkSDK/location/StoredLocation.h"
#include "FenkSDK/net/FenkReachability.h"
#include "FenkSDK/ports/Ui.h"
#include "FenkSDK/runtime/Data.h"
#include "adapters/location/IsoTime.h"

#include <cstdint>
#include <cstdio>

namespace fenk {
namespace {

// The text as one inert terminal line: control characters become \xHH and the backslash \\, so that text
// from the platform or the settings can neither break the line nor steer the terminal.
std::string printable(std::string_view text) {
    std::string line;
    line.reserve(text.size());
    for (const char character : text) {
        if (character == '\\') {
            line += "\\\\";
        } else if (isControlCharacter(character)) {
            line += "\\x";
            appendHexByte(line, static_cast<std::uint8_t>(character), HexDigits::lower);
        } else {
            line += character;
        }
    }
    return line;
}

// The value, when it is one of the plain kinds the SDK puts in a notification's user info.
void writeAny(json::JsonWriter& writer, const std::any& value) {
    if (const auto* text = std::any_cast<std::string>(&value)) {
        writer.string(*text);
    } else if (const auto* flag = std::any_cast<bool>(&value)) {
        writer.boolean(*flag);
    } else if (const auto* integer = std::any_cast<int>(&value)) {
        writer.integer(*integer);
    } else if (const auto* wide = std::any_cast<std::int64_t>(&value)) {
        writer.integer(*wide);
    } else if (const auto* id = std::any_cast<ScreenId>(&value)) {
        // Screen ids count up from 1 and never come near the signed limit.
        writer.integer(static_cast<std::int64_t>(*id));
    } else if (const auto* number = std::any_cast<double>(&value)) {
        writer.number(*number);
    } else if (const auto* instant = std::any_cast<Timestamp>(&value)) {
        writer.number(secondsSinceReferenceDate(*instant));
    } else {
        writer.null();
    }
}

// The posting object as far as a reader can use it: the reachability monitor reports its flags, a position
// record shows in its stored form; any other object is only named as present.
void writeSender(json::JsonWriter& writer, const Notification& notification) {
    if (!notification.sender.has_value()) {
        writer.null();
    } else if (const auto reachability = notification.object<FenkReachability>()) {
        writer.beginObject();
        writer.key("flags");
        writer.string(reachability->flagsText());
        writer.endObject();
    } else if (const auto record = notification.object<StoredLocation>()) {
        json::ValueCodec<StoredLocation>::write(writer, *record);
    } else {
        writer.beginObject();
        writer.endObject();
    }
}

// Plain output of names: "city: Madrid" and so on, one line each, the city first.
std::vector<std::string> nameLines(const std::map<std::string, std::string>& names) {
    static constexpr std::string_view kOrder[] = {"city", "region", "country"};
    std::vector<std::string> lines;
    for (const auto kind : kOrder) {
        if (const auto found = names.find(std::string(kind)); found != names.end()) {
            lines.push_back(std::string(kind) + ": " + printable(found->second));
        }
    }
    return lines;
}

// Plain output of a list: one line per record, "(empty)" for an empty list and "(none)" for an absent one.
template <class Record>
std::vector<std::string> recordLines(const std::optional<std::vector<Record>>& records,
                                     std::string (*line)(const Record&)) {
    if (!records) return {"(none)"};
    if (records->empty()) return {"(empty)"};
    std::vector<std::string> lines;
    for (const Record& record : *records) lines.push_back(line(record));
    return lines;
}

std::string groupLine(const FG_GroupData& group) {
    return printable(group.resourceId.value_or("-")) + ": " + printable(group.name.value_or(""));
}

std::string habitLine(const FG_UserHabit& habit) { return printable(habit.name) + ": " + printable(habit.level); }

template <class Record>
void writeRecords(json::JsonWriter& writer, const std::optional<std::vector<Record>>& records) {
    if (records) {
        json::ValueCodec<std::vector<Record>>::write(writer, *records);
    } else {
        writer.null();
    }
}

}  // namespace

void EventPrinter::completion(std::string_view operation, const CompletionValue& value) {
    if (format_ == Format::plain) {
        if (const auto* flag = std::get_if<bool>(&value)) {
            writeLine(*flag ? "true" : "false");
        } else if (const auto* names = std::get_if<PlaceNames>(&value)) {
            for (const auto& line : *names ? nameLines(**names) : std::vector<std::string>{"(none)"}) writeLine(line);
        } else if (const auto* groups = std::get_if<GroupList>(&value)) {
            for (const auto& line : recordLines(*groups, &groupLine)) writeLine(line);
        } else if (const auto* habits = std::get_if<HabitList>(&value)) {
            for (const auto& line : recordLines(*habits, &habitLine)) writeLine(line);
        } else {
            const auto& text = std::get<std::optional<std::string>>(value);
            writeLine(text ? printable(*text) : "(none)");
        }
        return;
    }
    json::JsonWriter writer;
    writer.beginObject();
    writer.key("event");
    writer.string("completion");
    writer.key("operation");
    writer.string(operation);
    writer.key("value");
    if (const auto* flag = std::get_if<bool>(&value)) {
        writer.boolean(*flag);
    } else if (const auto* names = std::get_if<PlaceNames>(&value)) {
        if (*names) {
            writer.beginObject();
            for (const auto& [kind, name] : **names) {
                writer.key(kind);
                writer.string(name);
            }
            writer.endObject();
        } else {
            writer.null();
        }
    } else if (const auto* groups = std::get_if<GroupList>(&value)) {
        writeRecords(writer, *groups);
    } else if (const auto* habits = std::get_if<HabitList>(&value)) {
        writeRecords(writer, *habits);
    } else if (const auto& text = std::get<std::optional<std::string>>(value)) {
        writer.string(*text);
    } else {
        writer.null();
    }
    writer.endObject();
    writeLine(std::move(writer).finish().value_or(R"({"event":"completion","value":null})"));
}

void EventPrinter::consoleLine(std::string_view line) {
    json::JsonWriter writer;
    writer.beginObject();
    writer.key("event");
    writer.string("console");
    writer.key("line");
    writer.string(line);
    writer.endObject();
    // A line that is not UTF-8 cannot be JSON text; say so rather than drop the event.
    writeLine(std::move(writer).finish().value_or(R"({"event":"console","line":null})"));
}

void EventPrinter::notification(const Notification& notification) {
    json::JsonWriter writer;
    writer.beginObject();
    writer.key("event");
    writer.string("notification");
    writer.key("name");
    writer.string(notification.name);
    writer.key("object");
    writeSender(writer, notification);
    writer.key("userInfo");
    writer.beginObject();
    for (const auto& [key, value] : notification.userInfo) {
        writer.key(key);
        writeAny(writer, value);
    }
    writer.endObject();
    writer.endObject();
    writeLine(std::move(writer).finish().value_or(R"({"event":"notification","name":null})"));
}

void EventPrinter::position(const StoredLocation& record) {
    if (format_ != Format::plain) return;
    static constexpr std::string_view kinds[] = {"location", "visit", "region"};
    const auto kind = static_cast<std::size_t>(record.tipo);
    char coordinate[64];
    std::snprintf(coordinate, sizeof coordinate, "%.7f %.7f", record.latitude, record.longitude);
    const auto when = record.arrivalDate ? formatIsoTime(*record.arrivalDate) : std::nullopt;
    writeLine(std::string(kind < std::size(kinds) ? kinds[kind] : "record") + ' ' +
              printable(record.geohash.value_or("-")) + ' ' + coordinate + ' ' + when.value_or("-"));
}

void EventPrinter::summary(const std::vector<std::pair<std::string, std::string>>& texts,
                           const std::vector<std::pair<std::string, double>>& numbers) {
    if (format_ == Format::plain) {
        for (const auto& [name, text] : texts) writeLine(name + ": " + printable(text));
        for (const auto& [name, number] : numbers) {
            char value[32];
            std::snprintf(value, sizeof value, "%g", number);
            writeLine(name + ": " + value);
        }
        return;
    }
    json::JsonWriter writer;
    writer.beginObject();
    writer.key("event");
    writer.string("summary");
    for (const auto& [name, text] : texts) {
        writer.key(name);
        writer.string(text);
    }
    for (const auto& [name, number] : numbers) {
        writer.key(name);
        writer.number(number);
    }
    writer.endObject();
    writeLine(std::move(writer).finish().value_or(R"({"event":"summary"})"));
}

void EventPrinter::event(std::string_view name, const std::vector<std::pair<std::string, std::string>>& texts) {
    if (format_ == Format::plain) {
        std::string line(name);
        for (const auto& [key, text] : texts) line += ' ' + printable(text);
        return writeLine(line);
    }
    json::JsonWriter writer;
    writer.beginObject();
    writer.key("event");
    writer.string(name);
    for (const auto& [key, text] : texts) {
        writer.key(key);
        writer.string(text);
    }
    writer.endObject();
    writeLine(std::move(writer).finish().value_or(R"({"event":"unwritable"})"));
}

void EventPrinter::writeLine(const std::string& line) {
    std::lock_guard lock(mutex_);
    out_ << line << '\n' << std::flush;
}

}  // namespace fenk
