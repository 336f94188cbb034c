#pragma once

#include "FenkSDK/ports/SecureStore.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace fenk::contract {

// Behaviour every SecureStore implementation shares. Instantiate with a factory type that is default
// constructible and has `std::unique_ptr<SecureStore> make()`.
template <class Factory>
class SecureStoreContract : public ::testing::Test {
protected:
    Factory factory_;
    std::unique_ptr<SecureStore> store_ = factory_.make();
};

TYPED_TEST_SUITE_P(SecureStoreContract);

// Names that a careless mapping to storage would confuse with each other or with a path.
inline const std::vector<std::string> kOddAccountNames = {
    "com.tarvel.Fenk", "../x", "x", "a/b", "a%2Fb", "a_2Fb", "", ".", "..", "/", "\xC3\xBC", std::string(1, '\0'),
    "%", "A", "a", "a.item", "line\nbreak"};

// Each save replaces the account's value, and a single removal leaves nothing: only one item held it.
TYPED_TEST_P(SecureStoreContract, RoundTripsReplacesAndRemoves) {
    auto& store = *this->store_;
    EXPECT_EQ(store.load("absent"), std::nullopt);
    EXPECT_FALSE(store.contains("absent"));
    for (const Data& data : {Data{}, Data{0, 1, 255}, Data(100'000, 42)}) {
        ASSERT_TRUE(store.save("account", data));
        EXPECT_EQ(store.load("account"), data);
        EXPECT_TRUE(store.contains("account"));
    }
    store.remove("account");
    EXPECT_EQ(store.load("account"), std::nullopt);
    EXPECT_FALSE(store.contains("account"));
    store.remove("account");
    EXPECT_EQ(store.load("account"), std::nullopt);
}

TYPED_TEST_P(SecureStoreContract, OddAccountNamesStayDistinct) {
    auto& store = *this->store_;
    for (std::size_t index = 0; index < kOddAccountNames.size(); ++index) {
        ASSERT_TRUE(store.save(kOddAccountNames[index], toData(std::to_string(index)))) << index;
    }
    for (std::size_t index = 0; index < kOddAccountNames.size(); ++index) {
        EXPECT_EQ(store.load(kOddAccountNames[index]), toData(std::to_string(index))) << index;
    }
}

REGISTER_TYPED_TEST_SUITE_P(SecureStoreContract, RoundTripsReplacesAndRemoves, OddAccountNamesStayDistinct);

}  // namespace fenk::contract
