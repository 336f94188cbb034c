#include "adapters/linux/FileSecureStore.h"

#include "ChildProcess.h"
#include "FilePermissions.h"
#include "support/ConsoleCapture.h"
#include "support/TemporaryFolder.h"
#include "contract/SecureStoreContract.h"

namespace fenk {
namespace contract {
namespace {

struct FileSecureStoreFactory {
    TemporaryFolder folder;
    std::unique_ptr<SecureStore> make() { return std::make_unique<FileSecureStore>(folder.path() / "secure"); }
};

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(File, SecureStoreContract, FileSecureStoreFactory);

}  // namespace contract

namespace {

std::vector<std::filesystem::path> entriesOf(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> entries;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        entries.push_back(entry.path());
    }
    return entries;
}

TEST(FileSecureStoreTest, ItemsAreUserOnlyAndStayInsideTheirFolder) {
    TemporaryFolder root;
    const auto folder = root.path() / "fenk" / "secure";
    ClearedUmask clearedUmask;
    FileSecureStore store(folder);
    for (const auto& account : contract::kOddAccountNames) {
        ASSERT_TRUE(store.save(account, toData("secret")));
        ASSERT_TRUE(store.save(account, toData("replaced")));
    }

    EXPECT_EQ(permissionsOf(root.path() / "fenk"), 0700);
    EXPECT_EQ(permissionsOf(folder), 0700);
    EXPECT_EQ(entriesOf(root.path()), std::vector{root.path() / "fenk"});
    EXPECT_EQ(entriesOf(root.path() / "fenk"), std::vector{folder});
    const auto items = entriesOf(folder);
    EXPECT_EQ(items.size(), contract::kOddAccountNames.size()) << "one file per account, no temporary left";
    for (const auto& item : items) {
        EXPECT_TRUE(std::filesystem::is_regular_file(item)) << item;
        EXPECT_EQ(permissionsOf(item), 0600) << item;
    }
}

// Once the new file has replaced the old one the secret is saved, even if the folder cannot be flushed
// afterwards; a save that fails earlier leaves the old secret. Either way the console says what went wrong.
TEST(FileSecureStoreTest, SaveReportsWhetherTheNewSecretReplacedTheOld) {
    struct Case {
        const char* name;
        std::filesystem::perms folderMode;
        bool saved;
        const char* kept;
    };
    using enum std::filesystem::perms;
    const std::vector<Case> cases = {
        {"a folder it can write but not list", owner_write | owner_exec, true, "new"},
        {"a folder it cannot write", owner_read | owner_exec, false, "old"},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        TemporaryFolder root;
        const auto folder = root.path() / "secure";
        ASSERT_TRUE(FileSecureStore(folder).save("account", toData("old")));
        for (const auto& path : {root.path(), folder, entriesOf(folder).front()}) {
            ASSERT_TRUE(giveToChild(path));
        }
        std::filesystem::permissions(folder, testCase.folderMode);
        const auto report = runInChild([&]() -> std::string {
            if (!dropRootPrivileges()) {
                return "cannot drop privileges";
            }
            ConsoleCapture console;
            std::string problems;
            if (FileSecureStore(folder).save("account", toData("new")) != testCase.saved) problems += "wrong answer; ";
            if (console.lines().size() != 1) problems += std::to_string(console.lines().size()) + " console lines; ";
            return problems;
        });
        std::filesystem::permissions(folder, owner_all);
        EXPECT_EQ(report, "");
        EXPECT_EQ(FileSecureStore(folder).load("account"), toData(testCase.kept));
        EXPECT_EQ(entriesOf(folder).size(), 1u) << "no temporary left";
    }
}

// An item the process may not read now is still there: it must not pass for a missing one.
TEST(FileSecureStoreTest, AnItemThatCannotBeReadIsStillContained) {
    TemporaryFolder root;
    const auto folder = root.path() / "secure";
    ASSERT_TRUE(FileSecureStore(folder).save("account", toData("kept")));
    for (const auto& path : {root.path(), folder}) ASSERT_TRUE(giveToChild(path));
    std::filesystem::permissions(entriesOf(folder).front(), std::filesystem::perms::none);
    const auto report = runInChild([&]() -> std::string {
        if (!dropRootPrivileges()) return "cannot drop privileges";
        const FileSecureStore store(folder);
        std::string problems;
        if (store.load("account")) problems += "read an unreadable item; ";
        if (!store.contains("account")) problems += "took the unreadable item for a missing one; ";
        return problems;
    });
    EXPECT_EQ(report, "");
}

}  // namespace
}  // namespace fenk
