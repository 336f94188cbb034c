#include "FenkSDK/registration/DeviceIdentifier.h"

#include "adapters/fake/MemorySecureStore.h"

#include <gtest/gtest.h>

#include <regex>

namespace fenk {
namespace {

TEST(DeviceIdentifierTest, StaysTheSameUntilTheItemIsGoneOrNotText) {
    const std::regex version4Uuid("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
    const auto account = keychainAccounts::kComTarvelFenk;
    MemorySecureStore store;
    FenkKeyChain keyChain(store);
    const std::string first = getDeviceID(keyChain);
    EXPECT_TRUE(std::regex_match(first, version4Uuid)) << first;
    EXPECT_EQ(getDeviceID(keyChain), first);

    store.remove(account);
    const std::string second = getDeviceID(keyChain);
    EXPECT_NE(second, first);
    EXPECT_EQ(store.load(account), toData(second));

    ASSERT_TRUE(store.save(account, Data{0xC3, 0x28}));
    const std::string renewed = getDeviceID(keyChain);
    EXPECT_TRUE(std::regex_match(renewed, version4Uuid)) << renewed;
    EXPECT_EQ(getDeviceID(keyChain), renewed);
}

}  // namespace
}  // namespace fenk
