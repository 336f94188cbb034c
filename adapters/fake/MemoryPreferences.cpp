#include "adapters/fake/MemoryPreferences.h"

#include <utility>

namespace fenk {

bool MemoryPreferences::remove(std::string_view key) {
    std::lock_guard lock(mutex_);
    if (writeFails()) {
        return false;
    }
    if (auto found = values_.find(key); found != values_.end()) {
        values_.erase(found);
    }
    return true;
}

bool MemoryPreferences::synchronize() { return true; }

void MemoryPreferences::failNextWrite() {
    std::lock_guard lock(mutex_);
    failNextWrite_ = true;
}

std::optional<Preferences::Value> MemoryPreferences::load(std::string_view key) const {
    std::lock_guard lock(mutex_);
    if (auto found = values_.find(key); found != values_.end()) {
        return found->second;
    }
    return std::nullopt;
}

bool MemoryPreferences::store(std::string_view key, Value value) {
    std::lock_guard lock(mutex_);
    if (writeFails()) {
        return false;
    }
    values_.insert_or_assign(std::string(key), std::move(value));
    return true;
}

bool MemoryPreferences::writeFails() {
    return std::exchange(failNextWrite_, false);
}

}  // namespace fenk
