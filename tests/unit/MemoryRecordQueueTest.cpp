#include "adapters/fake/MemoryRecordQueue.h"
#include "contract/RecordQueueContract.h"

namespace fenk {
namespace contract {
namespace {

struct MemoryRecordQueueFactory {
    std::unique_ptr<RecordQueue> make() { return std::make_unique<MemoryRecordQueue>(); }
};

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Memory, RecordQueueContract, MemoryRecordQueueFactory);

}  // namespace contract

namespace {

TEST(MemoryRecordQueueTest, FailedAppendAddsNothingAndTheNextOneCommits) {
    MemoryRecordQueue queue;
    ASSERT_TRUE(queue.append({{1}}, SystemTime{}));
    queue.failNextAppend();
    EXPECT_FALSE(queue.append({{2}, {3}}, SystemTime{}));
    EXPECT_EQ(queue.size(), 1u);
    ASSERT_TRUE(queue.append({{4}}, SystemTime{}));
    const auto entries = queue.oldest(10);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].record, Data{4});
}

}  // namespace
}  // namespace fenk
