#include "adapters/linux/FileSecureStore.h"

#include "FilePermissions.h"
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

}  // namespace
}  // namespace fenk
