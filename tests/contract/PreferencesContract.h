#pragma once

#include "FenkSDK/ports/Preferences.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <type_traits>
#include <variant>
#include <vector>

namespace fenk::contract {

// Behaviour every Preferences implementation shares. Instantiate with a factory type that is default
// constructible and has `std::unique_ptr<Preferences> make()`.
template <class Factory>
class PreferencesContract : public ::testing::Test {
protected:
    Factory factory_;
    std::unique_ptr<Preferences> store_ = factory_.make();
};

TYPED_TEST_SUITE_P(PreferencesContract);

namespace preferences {

using Value = Preferences::Value;

inline bool write(Preferences& store, std::string_view key, const Value& value) {
    return std::visit(
        [&]<class T>(const T& typed) {
            if constexpr (std::is_same_v<T, std::string>) return store.setString(key, typed);
            else if constexpr (std::is_same_v<T, bool>) return store.setBoolean(key, typed);
            else if constexpr (std::is_same_v<T, Data>) return store.setData(key, typed);
            else return store.setDataArray(key, typed);
        },
        value);
}

// Whether reading the key in the form of `value` yields `value`.
inline bool holds(const Preferences& store, std::string_view key, const Value& value) {
    return std::visit(
        [&]<class T>(const T& typed) {
            if constexpr (std::is_same_v<T, std::string>) return store.string(key) == typed;
            else if constexpr (std::is_same_v<T, bool>) return store.boolean(key) == typed;
            else if constexpr (std::is_same_v<T, Data>) return store.data(key) == typed;
            else return store.dataArray(key) == typed;
        },
        value);
}

// One value of each form that no absent key reads as.
inline const Value kOneOfEachForm[] = {std::string("text"), true, Data{1, 2, 3}, std::vector<Data>{{4}, {}, {5, 6}}};

}  // namespace preferences

TYPED_TEST_P(PreferencesContract, RoundTripsEveryForm) {
    using namespace preferences;
    const Value values[] = {std::string(), std::string("\xC3\xBC\xE2\x82\xAC"), std::string("nul\0inside", 10),
                            std::string(100'000, 'x'), true, false, Data{}, Data{0, 255, 0}, Data(200'000, 7),
                            std::vector<Data>{}, std::vector<Data>{{}}, std::vector<Data>{{1}, {}, {2, 3}},
                            std::vector<Data>(300, Data(70, 9))};
    for (const Value& value : values) {
        ASSERT_TRUE(write(*this->store_, "key", value)) << value.index();
        EXPECT_TRUE(holds(*this->store_, "key", value)) << value.index();
    }
}

// A key holds one form at a time: reading it in another answers absent, and an absent string or a removal
// clears it whatever its form.
TYPED_TEST_P(PreferencesContract, AKeyHoldsOneFormUntilCleared) {
    using namespace preferences;
    auto& store = *this->store_;
    const std::function<bool()> clears[] = {[&] { return store.setString("key", std::nullopt); },
                                            [&] { return store.remove("key"); }};
    for (const Value& written : kOneOfEachForm) {
        for (const auto& clear : clears) {
            ASSERT_TRUE(write(store, "key", written));
            for (const Value& read : kOneOfEachForm) {
                EXPECT_EQ(holds(store, "key", read), read.index() == written.index())
                    << "written " << written.index() << ", read " << read.index();
            }
            ASSERT_TRUE(clear());
            EXPECT_FALSE(store.string("key") || store.boolean("key") || store.data("key") ||
                         !store.dataArray("key").empty())
                << written.index();
        }
    }
    EXPECT_TRUE(store.remove("never written"));
    EXPECT_TRUE(store.synchronize());
}

TYPED_TEST_P(PreferencesContract, ConcurrentWritersKeepEveryKey) {
    auto& store = *this->store_;
    constexpr int kWriters = 4;
    constexpr int kWritesEach = 50;
    const auto keyOf = [](int writer, int write) { return std::to_string(writer) + "." + std::to_string(write % 5); };
    std::vector<std::thread> writers;
    for (int writer = 0; writer < kWriters; ++writer) {
        writers.emplace_back([&, writer] {
            for (int write = 0; write < kWritesEach; ++write) {
                store.setData(keyOf(writer, write), Data{static_cast<std::uint8_t>(write)});
                store.data(keyOf(writer, write));
            }
        });
    }
    for (auto& writer : writers) writer.join();
    for (int writer = 0; writer < kWriters; ++writer) {
        for (int write = kWritesEach - 5; write < kWritesEach; ++write) {
            EXPECT_EQ(store.data(keyOf(writer, write)), Data{static_cast<std::uint8_t>(write)});
        }
    }
}

REGISTER_TYPED_TEST_SUITE_P(PreferencesContract, RoundTripsEveryForm, AKeyHoldsOneFormUntilCleared,
                            ConcurrentWritersKeepEveryKey);

}  // namespace fenk::contract
