#include "adapters/linux/SqliteRecordQueue.h"

#include "FilePermissions.h"
#include "adapters/linux/SqlitePreferences.h"
#include "contract/RecordQueueContract.h"
#include "support/ConsoleCapture.h"
#include "support/TemporaryFolder.h"

#include <fstream>
#include <thread>

namespace fenk {
namespace contract {
namespace {

struct SqliteRecordQueueFactory {
    TemporaryFolder folder;
    std::unique_ptr<RecordQueue> make() {
        return std::make_unique<SqliteRecordQueue>(folder.path() / "settings.sqlite3");
    }
};

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Sqlite, RecordQueueContract, SqliteRecordQueueFactory);

}  // namespace contract

namespace {

class SqliteRecordQueueTest : public ::testing::Test {
protected:
    TemporaryFolder folder_;
    const std::filesystem::path path_ = folder_.path() / "settings.sqlite3";
};

// The queue and the settings share one user-only file, and neither disturbs the other across a restart.
TEST_F(SqliteRecordQueueTest, EntriesAndSettingsSurviveAReopenSideBySide) {
    ClearedUmask clearedUmask;
    std::vector<RecordQueue::Entry> queued;
    {
        SqlitePreferences settings(path_);
        SqliteRecordQueue queue(path_);
        ASSERT_TRUE(settings.setString("resourceId", "resource-7"));
        ASSERT_TRUE(queue.append({{1}, Data(5000, 2)}, SystemTime(std::chrono::microseconds(1'765'000'000'000'001))));
        ASSERT_TRUE(settings.setData("positions", Data(300, 3)));
        ASSERT_TRUE(queue.append({{4}}, SystemTime{}));
        queued = queue.oldest(10);
        ASSERT_TRUE(queue.remove(queued.back().id));
        queued.pop_back();
    }
    EXPECT_EQ(permissionsOf(path_), 0600);
    SqlitePreferences settings(path_);
    SqliteRecordQueue queue(path_);
    EXPECT_EQ(settings.string("resourceId"), "resource-7");
    EXPECT_EQ(settings.data("positions"), Data(300, 3));
    EXPECT_EQ(queue.oldest(10), queued);
    ASSERT_TRUE(queue.append({{5}}, SystemTime{}));
    EXPECT_EQ(queue.oldest(10).back().id, queued.back().id + 2) << "an id was handed out twice";
}

// Each connection waits for the other's lock instead of failing a write.
TEST_F(SqliteRecordQueueTest, SettingsAndQueueWriteAtOnceWithoutFailing) {
    SqlitePreferences settings(path_);
    SqliteRecordQueue queue(path_);
    constexpr int kWrites = 500;
    std::thread settingsWriter([&] {
        for (int write = 0; write < kWrites; ++write) {
            EXPECT_TRUE(settings.setData("positions", Data(300, static_cast<std::uint8_t>(write)))) << write;
        }
    });
    for (int write = 0; write < kWrites; ++write) {
        EXPECT_TRUE(queue.append({Data(300, 1), Data(300, 2)}, SystemTime{})) << write;
    }
    settingsWriter.join();
    EXPECT_EQ(queue.size(), 2u * kWrites);
}

TEST_F(SqliteRecordQueueTest, QueueThatCannotOpenItsFileKeepsNothing) {
    const std::vector<std::pair<const char*, std::filesystem::path>> obstacles = {
        {"its folder is a file", folder_.path() / "file" / "settings.sqlite3"},
        {"not a database", folder_.path() / "garbage"},
    };
    std::ofstream(folder_.path() / "file") << "not a folder";
    std::ofstream(folder_.path() / "garbage") << std::string(8192, 'x');
    for (const auto& [name, path] : obstacles) {
        SCOPED_TRACE(name);
        ConsoleCapture console;
        SqliteRecordQueue queue(path);
        EXPECT_FALSE(queue.append({{1}}, SystemTime{}));
        EXPECT_FALSE(queue.remove(1));
        EXPECT_TRUE(queue.oldest(10).empty());
        EXPECT_EQ(queue.size(), 0u);
        EXPECT_EQ(console.lines().size(), 1u);
    }
}

}  // namespace
}  // namespace fenk
