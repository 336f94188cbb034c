#pragma once

#include "FenkSDK/ports/Preferences.h"

#include <map>
#include <mutex>
#include <string>

namespace fenk {

// Settings kept in memory, for tests. failNextWrite() makes the next write or removal report failure and
// change nothing, so tests can drive the paths that handle a store that did not commit.
class MemoryPreferences final : public Preferences {
public:
    bool remove(std::string_view key) override;
    bool synchronize() override;

    void failNextWrite();

protected:
    std::optional<Value> load(std::string_view key) const override;
    bool store(std::string_view key, Value value) override;

private:
    // Consumes a pending failure; the caller holds the mutex.
    bool writeFails();

    mutable std::mutex mutex_;
    std::map<std::string, Value, std::less<>> values_;
    bool failNextWrite_ = false;
};

}  // namespace fenk
