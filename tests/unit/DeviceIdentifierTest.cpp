#include "FenkSDK/registration/DeviceIdentifier.h"

#include "adapters/fake/MemorySecureStore.h"
#include "support/ConsoleCapture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <latch>
#include <regex>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

namespace fenk {
namespace {

const std::regex kVersion4Uuid("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");

TEST(DeviceIdentifierTest, StaysTheSameUntilTheItemIsGoneOrNotText) {
    const auto account = keychainAccounts::kComTarvelFenk;
    MemorySecureStore store;
    FenkKeyChain keyChain(store);
    const std::string first = getDeviceID(keyChain).value_or("");
    EXPECT_TRUE(std::regex_match(first, kVersion4Uuid)) << first;
    EXPECT_EQ(getDeviceID(keyChain), first);

    store.remove(account);
    const std::string second = getDeviceID(keyChain).value_or("");
    EXPECT_NE(second, first);
    EXPECT_EQ(store.load(account), toData(second));

    ASSERT_TRUE(store.save(account, Data{0xC3, 0x28}));
    const std::string renewed = getDeviceID(keyChain).value_or("");
    EXPECT_TRUE(std::regex_match(renewed, kVersion4Uuid)) << renewed;
    EXPECT_EQ(getDeviceID(keyChain), renewed);
}

// A keychain that cannot be read for a moment (no descriptor left) still holds the id the platform knows.
TEST(DeviceIdentifierTest, AnItemThatCannotBeReadNowIsKeptAndNoIdIsGiven) {
    MemorySecureStore store;
    FenkKeyChain keyChain(store);
    const auto id = getDeviceID(keyChain);
    ConsoleCapture console;
    store.failReads();
    EXPECT_EQ(getDeviceID(keyChain), std::nullopt);
    EXPECT_EQ(console.lines().size(), 1u);
    store.failReads(false);
    EXPECT_EQ(getDeviceID(keyChain), id);
}

// Counts the saves, to tell one id stored from several stored in turn.
class CountingSecureStore final : public SecureStore {
public:
    std::optional<Data> load(std::string_view account) const override { return items_.load(account); }
    bool contains(std::string_view account) const override { return items_.contains(account); }
    bool save(std::string_view account, const Data& data) override {
        ++saves_;
        return items_.save(account, data);
    }
    void remove(std::string_view account) override { items_.remove(account); }
    int saves() const { return saves_; }

private:
    MemorySecureStore items_;
    std::atomic<int> saves_ = 0;
};

// The host and the registration may both ask first; the platform and the keychain must end up with one id.
TEST(DeviceIdentifierTest, ConcurrentFirstCallsAgreeOnOneStoredId) {
    constexpr int kRounds = 20;
    constexpr int kCallers = 16;
    for (int round = 0; round < kRounds; ++round) {
        CountingSecureStore store;
        FenkKeyChain keyChain(store);
        std::latch start(kCallers);
        std::vector<std::optional<std::string>> ids(kCallers);
        {
            std::vector<std::jthread> callers;
            for (auto& id : ids) {
                callers.emplace_back([&] {
                    start.arrive_and_wait();
                    id = getDeviceID(keyChain);
                });
            }
        }
        ASSERT_EQ(std::set(ids.begin(), ids.end()).size(), 1u) << "round " << round;
        ASSERT_EQ(store.saves(), 1) << "round " << round;
        ASSERT_TRUE(ids.front());
        EXPECT_EQ(store.load(keychainAccounts::kComTarvelFenk), toData(*ids.front()));
    }
}

// A system without an entropy device still gets ids that differ from call to call, and no exception.
TEST(DeviceIdentifierTest, UuidsStayUniqueWhenTheSystemHasNoEntropy) {
    const EntropySource unavailable = [](std::span<std::uint8_t>) { throw std::runtime_error("no entropy"); };
    ConsoleCapture console;
    std::set<std::string> uuids;
    for (int call = 0; call < 1000; ++call) {
        const auto uuid = makeRandomUuid(unavailable);
        ASSERT_TRUE(std::regex_match(uuid, kVersion4Uuid)) << uuid;
        uuids.insert(uuid);
    }
    EXPECT_EQ(uuids.size(), 1000u);
}

}  // namespace
}  // namespace fenk
