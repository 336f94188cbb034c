#pragma once

#include "FenkSDK/runtime/NotificationCenter.h"

#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <variant>

namespace fenk {

// What a completion handed back: a text that may be absent, or a boolean.
using CompletionValue = std::variant<std::optional<std::string>, bool>;

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

private:
    void writeLine(const std::string& line);

    const Format format_;
    std::mutex mutex_;
    std::ostream& out_;
};

}  // namespace fenk
