#pragma once

#include "FenkSDK/location/StoredLocation.h"
#include "FenkSDK/ports/Clock.h"
#include "FenkSDK/ports/RecordQueue.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace fenk {

class Preferences;

// The positions waiting for the platform: first in, first out, each kept until the platform acknowledged it.
// Bounded in count and age; the oldest goes first and every one that goes is named on the console. Used on
// the position queue only.
class UploadQueue {
public:
    struct Limits {
        std::size_t maxCount = 100'000;
        std::chrono::hours maxAge{24 * 30};
    };
    struct Queued {
        std::int64_t id = 0;
        SystemTime enqueuedAt{};
        StoredLocation record;
    };

    UploadQueue(std::shared_ptr<RecordQueue> store, Preferences& preferences, const Clock& clock, Limits limits);

    // Moves the whole-list value earlier versions kept ("FENK_POSITIONS_NOT_POSTED") to the front of the queue.
    void adoptStoredList();
    // In one commit, in order.
    void push(const std::vector<StoredLocation>& records);
    // Up to `limit` of the oldest, after letting expired ones go.
    std::vector<Queued> oldest(std::size_t limit);
    void acknowledge(std::int64_t id);
    // Any thread.
    std::size_t size() const;

private:
    // Appends what could not be stored before, then `records`; they stay in memory while the store fails.
    void store(std::vector<Data> records);
    void evict(const RecordQueue::Entry& entry, std::string_view reason);
    void forget(std::int64_t id);

    std::shared_ptr<RecordQueue> store_;
    Preferences& preferences_;
    const Clock& clock_;
    Limits limits_;
    std::vector<Data> unsaved_;
    // Counted here rather than asked of the store: counting a large table on each append would cost more than
    // the append. This is the queue's only writer.
    std::atomic<std::size_t> stored_;
    std::atomic<std::size_t> unsavedCount_{0};
};

}  // namespace fenk
