#pragma once

#include "FenkSDK/ports/RecordQueue.h"

#include <map>
#include <mutex>

namespace fenk {

// The upload queue kept in memory, for tests, with the stored queue's rules: enqueue times kept to the
// microsecond, ids never reused. failNextAppend() makes the next append report failure and add nothing, so
// tests can drive the paths that handle a queue that did not commit.
class MemoryRecordQueue final : public RecordQueue {
public:
    bool append(const std::vector<Data>& records, SystemTime enqueuedAt) override;
    std::vector<Entry> oldest(std::size_t limit) const override;
    bool remove(std::int64_t id) override;
    std::size_t size() const override;

    void failNextAppend();

private:
    mutable std::mutex mutex_;
    std::map<std::int64_t, Entry> entries_;
    std::int64_t lastId_ = 0;
    bool failNextAppend_ = false;
};

}  // namespace fenk
