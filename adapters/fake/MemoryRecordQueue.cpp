#include "adapters/fake/MemoryRecordQueue.h"

#include <chrono>
#include <utility>

namespace fenk {

bool MemoryRecordQueue::append(const std::vector<Data>& records, SystemTime enqueuedAt) {
    std::lock_guard lock(mutex_);
    if (std::exchange(failNextAppend_, false)) {
        return false;
    }
    const auto kept = std::chrono::floor<std::chrono::microseconds>(enqueuedAt);
    for (const auto& record : records) {
        ++lastId_;
        entries_.emplace(lastId_, Entry{lastId_, kept, record});
    }
    return true;
}

std::vector<RecordQueue::Entry> MemoryRecordQueue::oldest(std::size_t limit) const {
    std::lock_guard lock(mutex_);
    std::vector<Entry> entries;
    for (auto entry = entries_.begin(); entry != entries_.end() && entries.size() < limit; ++entry) {
        entries.push_back(entry->second);
    }
    return entries;
}

bool MemoryRecordQueue::remove(std::int64_t id) {
    std::lock_guard lock(mutex_);
    entries_.erase(id);
    return true;
}

std::size_t MemoryRecordQueue::size() const {
    std::lock_guard lock(mutex_);
    return entries_.size();
}

void MemoryRecordQueue::failNextAppend() {
    std::lock_guard lock(mutex_);
    failNextAppend_ = true;
}

}  // namespace fenk
