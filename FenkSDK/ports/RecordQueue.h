#pragma once

#include "FenkSDK/ports/Clock.h"
#include "FenkSDK/runtime/Data.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace fenk {

// A durable first-in-first-out list of records waiting to be delivered. An append is committed before it
// returns and an entry stays, across restarts, until it is removed; a process killed at any instant loses
// no committed entry and tears none. Used by one queue of the SDK at a time, but safe from any thread.
class RecordQueue {
public:
    struct Entry {
        // Increasing in the order of appending; never reused.
        std::int64_t id = 0;
        // When it was appended, by the SDK's clock (virtual time in replays).
        SystemTime enqueuedAt{};
        Data record;

        friend bool operator==(const Entry&, const Entry&) = default;
    };

    virtual ~RecordQueue() = default;
    // Appends every record in one commit, in order; false (and nothing appended) when it could not commit.
    virtual bool append(const std::vector<Data>& records, SystemTime enqueuedAt) = 0;
    // Up to `limit` entries, oldest first.
    virtual std::vector<Entry> oldest(std::size_t limit) const = 0;
    // Removing an absent id succeeds.
    virtual bool remove(std::int64_t id) = 0;
    virtual std::size_t size() const = 0;
};

}  // namespace fenk
