#pragma once

#include <functional>
#include <string_view>

namespace fenk {

// The one sink of the SDK's diagnostic lines: standard error unless the host or a test redirects it.
class Console {
public:
    using Sink = std::function<void(std::string_view line)>;

    static void print(std::string_view line);
    // An empty sink restores standard error.
    static void setSink(Sink sink);
};

}  // namespace fenk
