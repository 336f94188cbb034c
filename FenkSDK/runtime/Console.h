#pragma once

#include <functional>
#include <string_view>

namespace fenk {

// The one sink of the SDK's diagnostic lines: standard error unless the host or a test redirects it. The sink
// may be called from several threads at once; a line it prints itself goes to standard error.
class Console {
public:
    using Sink = std::function<void(std::string_view line)>;

    static void print(std::string_view line);
    // An empty sink restores standard error. Returns once no call of the previous sink is running.
    static void setSink(Sink sink);
};

}  // namespace fenk
