#pragma once

#include "FenkSDK/ports/RecordQueue.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <utility>

namespace fenk {

// The upload queue the SDK writes to, counting every record it commits: the positions the platform must end up
// with.
class CountingRecordQueue final : public RecordQueue {
public:
    explicit CountingRecordQueue(std::shared_ptr<RecordQueue> queue) : queue_(std::move(queue)) {}

    bool append(const std::vector<Data>& records, SystemTime enqueuedAt) override {
        const bool committed = queue_->append(records, enqueuedAt);
        if (committed) appended_ += static_cast<std::int64_t>(records.size());
        return committed;
    }
    std::vector<Entry> oldest(std::size_t limit) const override { return queue_->oldest(limit); }
    bool remove(std::int64_t id) override { return queue_->remove(id); }
    std::size_t size() const override { return queue_->size(); }

    std::int64_t appended() const { return appended_; }

private:
    const std::shared_ptr<RecordQueue> queue_;
    std::atomic<std::int64_t> appended_{0};
};

}  // namespace fenk
