#include "adapters/linux/SqliteRecordQueue.h"

#include "support/KilledWorker.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <set>

namespace fenk {
namespace {

// A worker process appends batches and removes the oldest entry in a loop, telling the test what it
// committed, and is killed at random instants. After each kill the queue must hold every entry whose append
// was confirmed and whose removal was not, none whose removal was, every batch whole, and no torn record.
constexpr int kRounds = 12;
constexpr std::uint64_t kSequencesPerRound = 1'000'000;
constexpr std::size_t kHeaderSize = 2 * sizeof(std::uint64_t);

// A record names its sequence number and the last one of its batch, then carries filler of a length and
// content that follow from the sequence number, so that regenerating it checks every byte.
Data recordFor(std::uint64_t sequence, std::uint64_t batchEnd) {
    Data record(kHeaderSize + sequence * 7919 % 3000);
    for (std::size_t index = kHeaderSize; index < record.size(); ++index) {
        record[index] = static_cast<std::uint8_t>(sequence * 31 + index);
    }
    std::memcpy(record.data(), &sequence, sizeof sequence);
    std::memcpy(record.data() + sizeof sequence, &batchEnd, sizeof batchEnd);
    return record;
}

struct Identity {
    std::uint64_t sequence;
    std::uint64_t batchEnd;
};

// Nothing when the record is not one recordFor() made.
std::optional<Identity> identify(const Data& record) {
    if (record.size() < kHeaderSize) {
        return std::nullopt;
    }
    Identity identity{};
    std::memcpy(&identity.sequence, record.data(), sizeof identity.sequence);
    std::memcpy(&identity.batchEnd, record.data() + sizeof identity.sequence, sizeof identity.batchEnd);
    const bool whole = identity.batchEnd >= identity.sequence && identity.batchEnd - identity.sequence < 3 &&
                       recordFor(identity.sequence, identity.batchEnd) == record;
    return whole ? std::optional(identity) : std::nullopt;
}

SystemTime enqueueTimeOf(std::uint64_t sequence) {
    return SystemTime(std::chrono::microseconds(static_cast<std::int64_t>(sequence)));
}

// What the worker committed: sequence numbers first..last appended, or `first` removed; or that it is about to
// remove `first`, which a kill may catch either side of the commit. Smaller than a pipe's
// atomic write, so a killed worker leaves whole reports only.
struct Report {
    enum Kind : std::uint64_t { appended, removing, removed };
    Kind kind;
    std::uint64_t first;
    std::uint64_t last;
};

// Appends and removes until killed; answers an exit code when the queue or the report channel fails.
int runWorker(const std::filesystem::path& path, std::uint64_t first, int reports) {
    SqliteRecordQueue queue(path);
    for (auto sequence = first;;) {
        const auto batchEnd = sequence + sequence % 3;
        std::vector<Data> batch;
        for (auto member = sequence; member <= batchEnd; ++member) batch.push_back(recordFor(member, batchEnd));
        if (!queue.append(batch, enqueueTimeOf(batchEnd)) || !sendReport(reports, Report{Report::appended, sequence, batchEnd})) {
            return 1;
        }
        sequence = batchEnd + 1;
        const auto oldest = queue.oldest(1);
        const auto identity = oldest.empty() ? std::nullopt : identify(oldest.front().record);
        if (!identity || !sendReport(reports, Report{Report::removing, identity->sequence, identity->sequence}) ||
            !queue.remove(oldest.front().id) ||
            !sendReport(reports, Report{Report::removed, identity->sequence, identity->sequence})) {
            return 1;
        }
    }
}

TEST(RecordQueueCrashTest, KilledWorkerLosesNoCommittedEntryAndTearsNone) {
    TemporaryFolder folder;
    const auto path = folder.path() / "settings.sqlite3";
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> reportsBeforeKill(1, 400);
    std::set<std::uint64_t> mustBeThere;
    std::set<std::uint64_t> removed;

    for (int round = 1; round <= kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        // Reports still in the pipe after the kill are commits too: a removal among them really happened.
        const auto end = runKilledWorker<Report>(
            reportsBeforeKill(random), {}, [&](int reports) { return runWorker(path, round * kSequencesPerRound, reports); },
            [&](const Report& report) {
                if (report.kind == Report::appended) {
                    for (auto sequence = report.first; sequence <= report.last; ++sequence) mustBeThere.insert(sequence);
                } else if (report.kind == Report::removing) {
                    mustBeThere.erase(report.first);
                } else {
                    removed.insert(report.first);
                }
            });
        ASSERT_TRUE(end.killed) << "the worker stopped on its own";

        SqliteRecordQueue queue(path);
        const auto entries = queue.oldest(SIZE_MAX);
        ASSERT_EQ(entries.size(), queue.size());
        std::set<std::uint64_t> there;
        std::vector<Identity> identities;
        for (std::size_t index = 0; index < entries.size(); ++index) {
            const auto identity = identify(entries[index].record);
            ASSERT_TRUE(identity) << "a torn record, id " << entries[index].id;
            ASSERT_EQ(entries[index].enqueuedAt, enqueueTimeOf(identity->batchEnd));
            if (index > 0) {
                ASSERT_GT(entries[index].id, entries[index - 1].id);
                ASSERT_GT(identity->sequence, identities.back().sequence) << "out of order";
            }
            EXPECT_FALSE(removed.contains(identity->sequence)) << identity->sequence << " came back after removal";
            there.insert(identity->sequence);
            identities.push_back(*identity);
        }
        // Removals take batches from the front, so what is left of a batch is its end.
        for (const auto& identity : identities) {
            if (identity.sequence < identity.batchEnd) {
                EXPECT_TRUE(there.contains(identity.sequence + 1)) << "a batch was cut at " << identity.sequence;
            }
        }
        for (const auto sequence : mustBeThere) {
            EXPECT_TRUE(there.contains(sequence)) << "lost " << sequence;
        }
        mustBeThere = std::move(there);
    }
}

}  // namespace
}  // namespace fenk
