#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace fenk::json {

// Writes compact JSON text. The caller keeps the structure balanced; the writer places commas and colons.
// A value that JSON cannot hold (NaN, infinity, text that is not UTF-8) spoils the whole output.
class JsonWriter {
public:
    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    void key(std::string_view name);

    void string(std::string_view text);
    void boolean(bool value);
    void null();
    void integer(std::int64_t value);
    void number(double value);
    // The shortest text that reads back as the same float, so 1/3 is written 0.33333334, not 0.3333333432674408.
    void number(float value);

    // The text written so far, or nullopt when some value could not be written.
    std::optional<std::string> finish() &&;

private:
    void separate();
    template <class Floating>
    void appendNumber(Floating value);
    void appendQuoted(std::string_view text);

    std::string out_;
    bool needsComma_ = false;
    bool failed_ = false;
};

}  // namespace fenk::json
