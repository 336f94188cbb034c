#include "FenkSDK/location/UploadQueue.h"

#include "FenkSDK/UserDefault.h"
#include "FenkSDK/location/PositionDecision.h"
#include "FenkSDK/location/PositionDescriptor.h"
#include "FenkSDK/runtime/Console.h"

#include <algorithm>

namespace fenk {

UploadQueue::UploadQueue(std::shared_ptr<RecordQueue> store, Preferences& preferences, const Clock& clock,
                         Limits limits)
    : store_(std::move(store)), preferences_(preferences), clock_(clock), limits_(limits), stored_(store_->size()) {}

void UploadQueue::adoptStoredList() {
    auto list = UserDefault(preferences_).getDataArray<StoredLocation>(settingsKeys::kFenkPositionsNotPosted);
    if (list.empty()) return;
    std::stable_sort(list.begin(), list.end(),
                     [](const StoredLocation& a, const StoredLocation& b) { return arrivalOf(a) < arrivalOf(b); });
    std::vector<Data> records;
    for (const auto& record : list) {
        if (auto encoded = json::encode(record)) records.push_back(toData(*encoded));
    }
    // Removed only once the queue holds them: a crash in between sends them twice, never not at all.
    if (!store_->append(records, clock_.now())) return;
    stored_ += records.size();
    preferences_.remove(settingsKeys::kFenkPositionsNotPosted);
}

void UploadQueue::push(const std::vector<StoredLocation>& records) {
    std::vector<Data> encoded;
    for (const auto& record : records) {
        if (auto text = json::encode(record)) {
            encoded.push_back(toData(*text));
        } else {
            Console::print("Upload queue: a position that cannot be written was not queued");
        }
    }
    store(std::move(encoded));
}

void UploadQueue::store(std::vector<Data> records) {
    if (!unsaved_.empty()) {
        records.insert(records.begin(), std::make_move_iterator(unsaved_.begin()), std::make_move_iterator(unsaved_.end()));
        unsaved_.clear();
        unsavedCount_ = 0;
    }
    const std::size_t waiting = stored_;
    if (waiting + records.size() > limits_.maxCount) {
        for (const auto& entry : store_->oldest(waiting + records.size() - limits_.maxCount)) evict(entry, "the queue is full");
    }
    if (!store_->append(records, clock_.now())) {
        Console::print("Upload queue: positions kept in memory until they can be stored");
        unsaved_ = std::move(records);
        unsavedCount_ = unsaved_.size();
        return;
    }
    stored_ += records.size();
}

std::vector<UploadQueue::Queued> UploadQueue::oldest(std::size_t limit) {
    if (!unsaved_.empty()) store({});
    const SystemTime expiry = clock_.now() - limits_.maxAge;
    // Entries let go make room for younger ones: read again until a read lets nothing go.
    for (;;) {
        std::vector<Queued> queued;
        bool letGo = false;
        for (const auto& entry : store_->oldest(limit)) {
            std::string error;
            auto record = entry.enqueuedAt < expiry ? std::nullopt : json::decode<StoredLocation>(asText(entry.record), &error);
            if (record) {
                queued.push_back({entry.id, entry.enqueuedAt, std::move(*record)});
            } else {
                evict(entry, error.empty() ? "waited too long" : error);
                letGo = true;
            }
        }
        if (!letGo) return queued;
    }
}

void UploadQueue::acknowledge(std::int64_t id) { forget(id); }

std::size_t UploadQueue::size() const { return stored_ + unsavedCount_; }

void UploadQueue::forget(std::int64_t id) {
    if (store_->remove(id) && stored_ > 0) --stored_;
}

void UploadQueue::evict(const RecordQueue::Entry& entry, std::string_view reason) {
    const auto record = json::decode<StoredLocation>(asText(entry.record));
    const std::string what = record ? describePosition(*record, std::nullopt, 0, std::nullopt) : "an unreadable position";
    Console::print("Upload queue: dropped " + what + " (" + std::string(reason) + ")");
    forget(entry.id);
}

}  // namespace fenk
