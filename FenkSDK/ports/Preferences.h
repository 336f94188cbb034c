#pragma once

#include "FenkSDK/runtime/Data.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace fenk {

// The application's persistent key/value settings. Every value has one form (text, flag, bytes or a list of
// byte buffers); reading a key in another form than it holds answers as if the key were absent, so a reader
// never misinterprets a value written by somebody else. Writes answer whether they were committed.
// Safe to use from any thread.
class Preferences {
public:
    using Value = std::variant<std::string, bool, Data, std::vector<Data>>;

    virtual ~Preferences() = default;

    std::optional<std::string> string(std::string_view key) const { return read<std::string>(key); }
    // An absent value removes the key.
    bool setString(std::string_view key, std::optional<std::string> value) {
        if (!value) {
            return remove(key);
        }
        return store(key, Value(std::in_place_type<std::string>, std::move(*value)));
    }

    // Absent reads as false.
    bool boolean(std::string_view key) const { return read<bool>(key).value_or(false); }
    bool setBoolean(std::string_view key, bool value) { return store(key, Value(std::in_place_type<bool>, value)); }

    std::optional<Data> data(std::string_view key) const { return read<Data>(key); }
    bool setData(std::string_view key, Data value) {
        return store(key, Value(std::in_place_type<Data>, std::move(value)));
    }

    // Absent reads as an empty list.
    std::vector<Data> dataArray(std::string_view key) const { return read<std::vector<Data>>(key).value_or(std::vector<Data>{}); }
    // The list is stored whole, replacing any previous value at once.
    bool setDataArray(std::string_view key, std::vector<Data> value) {
        return store(key, Value(std::in_place_type<std::vector<Data>>, std::move(value)));
    }

    // Removing an absent key succeeds.
    virtual bool remove(std::string_view key) = 0;
    // Asks the store to make every committed write durable now.
    virtual bool synchronize() = 0;

protected:
    virtual std::optional<Value> load(std::string_view key) const = 0;
    virtual bool store(std::string_view key, Value value) = 0;

private:
    template <class T>
    std::optional<T> read(std::string_view key) const {
        auto value = load(key);
        if (!value) {
            return std::nullopt;
        }
        if (auto* typed = std::get_if<T>(&*value)) {
            return std::move(*typed);
        }
        return std::nullopt;
    }
};

}  // namespace fenk
