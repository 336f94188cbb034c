#include "adapters/linux/SqlitePreferences.h"

#include "ChildProcess.h"
#include "FilePermissions.h"
#include "support/ConsoleCapture.h"
#include "support/Sanitizers.h"
#include "support/TemporaryFolder.h"
#include "contract/PreferencesContract.h"

#include <gmock/gmock.h>

#include <fstream>
#include <functional>
#include <iterator>

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
using ::testing::Not;

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

// Nothing that stands in the way is moved or removed: the store only stops keeping settings for this run.
TEST_F(SqlitePreferencesTest, StoreThatCannotMakeItsFileFailsEveryWrite) {
    const std::vector<std::pair<const char*, std::filesystem::path>> obstacles = {
        {"its folder is a file", folder_.path() / "file" / "settings.sqlite3"},
        {"a folder in its place", folder_.path() / "folder"},
    };
    std::ofstream(folder_.path() / "file") << "not a folder";
    std::filesystem::create_directory(folder_.path() / "folder");
    for (const auto& [name, path] : obstacles) {
        SCOPED_TRACE(name);
        ConsoleCapture console;
        SqlitePreferences store(path);
        EXPECT_FALSE(store.setString("key", "value"));
        EXPECT_FALSE(store.setData("key", {}));
        EXPECT_FALSE(store.remove("key"));
        EXPECT_EQ(store.string("key"), std::nullopt);
        EXPECT_EQ(console.lines().size(), 1u);
    }
    EXPECT_TRUE(std::filesystem::is_regular_file(folder_.path() / "file"));
    EXPECT_TRUE(std::filesystem::is_directory(folder_.path() / "folder"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.path()), {}), 2);
}

std::string contentsOf(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// A settings file the process cannot open for a reason that says nothing about the file (no descriptor left,
// no permission, no room for its log) is a healthy file: it keeps every byte, and the next run reads it.
TEST_F(SqlitePreferencesTest, HealthyDatabaseThatCannotBeOpenedIsLeftAsItIs) {
    struct Obstacle {
        const char* name;
        std::filesystem::perms folderMode;
        std::filesystem::perms fileMode;
        std::optional<int> spareDescriptors;
    };
    using enum std::filesystem::perms;
    const std::vector<Obstacle> obstacles = {
        {"no descriptor left", owner_all, owner_read | owner_write, 0},
        {"one descriptor left, none for the log", owner_all, owner_read | owner_write, 1},
        {"a file it may not open", owner_all, none, std::nullopt},
        {"a folder it cannot write", owner_read | owner_exec, owner_read | owner_write, std::nullopt},
    };
    const std::vector<std::pair<std::string, std::string>> settings = {
        {"resourceId", "resource-7"}, {"refreshToken", "token-42"}, {"account", "anna@example.org"}};
    for (const auto& obstacle : obstacles) {
        SCOPED_TRACE(obstacle.name);
        // The sanitizers' own checks need descriptors (one probes memory through a pipe): a child with none
        // left trips them, so those rows run in the plain build only.
        if (obstacle.spareDescriptors && kBuiltWithSanitizers) continue;
        TemporaryFolder folder;
        const auto path = folder.path() / "settings.sqlite3";
        {
            SqlitePreferences store(path);
            for (const auto& [key, value] : settings) {
                ASSERT_TRUE(store.setString(key, value));
            }
        }
        const std::string healthyFile = contentsOf(path);
        ASSERT_TRUE(giveToChild(folder.path()) && giveToChild(path));
        std::filesystem::permissions(path, obstacle.fileMode);
        std::filesystem::permissions(folder.path(), obstacle.folderMode);
        const auto report = runInChild([&]() -> std::string {
            const auto spare = obstacle.spareDescriptors;
            if (!dropRootPrivileges() || (spare && !limitSpareDescriptors(*spare))) {
                return "cannot set the obstacle up";
            }
            ConsoleCapture console;
            SqlitePreferences store(path);
            std::string problems;
            for (const auto& [key, value] : settings) {
                if (store.string(key)) problems += "read " + key + "; ";
            }
            if (store.setString("resourceId", "replaced") || store.remove("account")) problems += "wrote; ";
            if (console.lines().size() != 1) problems += std::to_string(console.lines().size()) + " console lines; ";
            return problems;
        });
        std::error_code gone;
        std::filesystem::permissions(folder.path(), owner_all);
        std::filesystem::permissions(path, owner_read | owner_write, gone);
        EXPECT_EQ(report, "");
        EXPECT_TRUE(contentsOf(path) == healthyFile) << "the file changed";
        for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
            EXPECT_THAT(entry.path().filename().string(), Not(HasSubstr(".corrupt")));
        }
        SqlitePreferences store(path);
        for (const auto& [key, value] : settings) {
            EXPECT_EQ(store.string(key), value) << key;
        }
    }
}

}  // namespace
}  // namespace fenk
