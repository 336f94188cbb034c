#include "adapters/linux/SqlitePreferences.h"

#include "FilePermissions.h"
#include "support/ConsoleCapture.h"
#include "support/TemporaryFolder.h"
#include "contract/PreferencesContract.h"

#include <gmock/gmock.h>

#include <fstream>
#include <functional>

namespace fenk {
namespace contract {
namespace {

struct SqlitePreferencesFactory {
    TemporaryFolder folder;
    std::unique_ptr<Preferences> make() {
        return std::make_unique<SqlitePreferences>(folder.path() / "settings.sqlite3");
    }
};

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Sqlite, PreferencesContract, SqlitePreferencesFactory);

}  // namespace contract

namespace {

using ::testing::HasSubstr;

class SqlitePreferencesTest : public ::testing::Test {
protected:
    TemporaryFolder folder_;
    const std::filesystem::path path_ = folder_.path() / "settings.sqlite3";
};

TEST_F(SqlitePreferencesTest, CreatesUserOnlyFolderAndFiles) {
    ClearedUmask clearedUmask;
    const auto nested = folder_.path() / "data" / "fenk" / "settings.sqlite3";
    SqlitePreferences store(nested);
    ASSERT_TRUE(store.setString("key", "value"));
    EXPECT_EQ(permissionsOf(folder_.path() / "data"), 0700);
    EXPECT_EQ(permissionsOf(folder_.path() / "data" / "fenk"), 0700);
    for (const char* suffix : {"", "-wal", "-shm"}) {
        EXPECT_EQ(permissionsOf(nested.string() + suffix), 0600) << suffix;
    }
}

TEST_F(SqlitePreferencesTest, UnusableDatabaseIsKeptAsideAndReplaced) {
    const std::vector<std::pair<const char*, std::function<void()>>> damages = {
        {"not a database", [&] { std::ofstream(path_) << std::string(8192, 'x'); }},
        {"damaged pages",
         [&] {
             {
                 SqlitePreferences store(path_);
                 for (int key = 0; key < 200; ++key) {
                     store.setData("key" + std::to_string(key), Data(1000, 1));
                 }
             }
             std::fstream(path_, std::ios::in | std::ios::out | std::ios::binary).seekp(4096)
                 << std::string(4096 * 3, '\xff');
         }},
        {"a folder in the way", [&] { std::filesystem::create_directory(path_); }},
    };
    for (const auto& [name, damage] : damages) {
        SCOPED_TRACE(name);
        std::filesystem::remove_all(path_);
        std::filesystem::remove_all(path_.string() + ".corrupt-1");
        damage();
        ConsoleCapture console;
        SqlitePreferences store(path_);
        EXPECT_TRUE(std::filesystem::exists(path_.string() + ".corrupt-1"));
        ASSERT_THAT(console.lines(), ::testing::ElementsAre(HasSubstr(".corrupt-1")));
        EXPECT_FALSE(store.data("key0"));
        EXPECT_TRUE(store.setString("key", "fresh"));
        EXPECT_EQ(SqlitePreferences(path_).string("key"), "fresh");
    }
}

TEST_F(SqlitePreferencesTest, StoreWithoutAUsableFolderFailsEveryWrite) {
    std::ofstream(folder_.path() / "file") << "not a folder";
    ConsoleCapture console;
    SqlitePreferences store(folder_.path() / "file" / "settings.sqlite3");
    EXPECT_FALSE(store.setString("key", "value"));
    EXPECT_FALSE(store.setData("key", {}));
    EXPECT_FALSE(store.remove("key"));
    EXPECT_EQ(store.string("key"), std::nullopt);
    EXPECT_FALSE(console.lines().empty());
}

}  // namespace
}  // namespace fenk
