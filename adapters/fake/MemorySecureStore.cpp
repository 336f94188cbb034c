#include "adapters/fake/MemorySecureStore.h"

#include <utility>

namespace fenk {

std::optional<Data> MemorySecureStore::load(std::string_view account) const {
    std::lock_guard lock(mutex_);
    if (failReads_) return std::nullopt;
    if (auto found = items_.find(account); found != items_.end()) {
        return found->second;
    }
    return std::nullopt;
}

bool MemorySecureStore::contains(std::string_view account) const {
    std::lock_guard lock(mutex_);
    return items_.contains(account);
}

bool MemorySecureStore::save(std::string_view account, const Data& data) {
    std::lock_guard lock(mutex_);
    if (std::exchange(failNextWrite_, false)) {
        return false;
    }
    items_.insert_or_assign(std::string(account), data);
    return true;
}

void MemorySecureStore::remove(std::string_view account) {
    std::lock_guard lock(mutex_);
    if (auto found = items_.find(account); found != items_.end()) {
        items_.erase(found);
    }
}

void MemorySecureStore::failNextWrite() {
    std::lock_guard lock(mutex_);
    failNextWrite_ = true;
}

void MemorySecureStore::failReads(bool failing) {
    std::lock_guard lock(mutex_);
    failReads_ = failing;
}

}  // namespace fenk
