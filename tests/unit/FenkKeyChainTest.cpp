#include "FenkSDK/storage/FenkKeyChain.h"

#include "adapters/fake/MemorySecureStore.h"

#include <gtest/gtest.h>

namespace fenk {
namespace {

// A failed write must not cost the item it meant to replace: the device id and learned places live here.
TEST(FenkKeyChainTest, SaveReplacesTheItemAndAFailedWriteKeepsThePreviousOne) {
    MemorySecureStore store;
    FenkKeyChain keyChain(store);
    const auto account = keychainAccounts::kComTarvelFenk;
    ASSERT_TRUE(keyChain.save(account, toData("first")));
    ASSERT_TRUE(keyChain.save(account, toData("second")));
    EXPECT_EQ(keyChain.load(account), toData("second"));
    store.failNextWrite();
    EXPECT_FALSE(keyChain.save(account, toData("third")));
    EXPECT_EQ(keyChain.load(account), toData("second"));
}

}  // namespace
}  // namespace fenk
