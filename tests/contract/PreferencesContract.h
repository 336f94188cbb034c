#pragma once

#include "FenkSDK/ports/Preferences.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
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

enum class Form { text, flag, data, dataArray };
inline constexpr Form kForms[] = {Form::text, Form::flag, Form::data, Form::dataArray};

inline const std::string kText = "text";
inline const Data kData = {1, 2, 3};
inline const std::vector<Data> kDataArray = {{4}, {}, {5, 6}};

inline bool write(Preferences& store, std::string_view key, Form form) {
    switch (form) {
        case Form::text: return store.setString(key, kText);
        case Form::flag: return store.setBoolean(key, true);
        case Form::data: return store.setData(key, kData);
        case Form::dataArray: return store.setDataArray(key, kDataArray);
    }
    return false;
}

// Whether reading the key in this form yields the value write() stored in it.
inline bool holds(const Preferences& store, std::string_view key, Form form) {
    switch (form) {
        case Form::text: return store.string(key) == kText;
        case Form::flag: return store.boolean(key);
        case Form::data: return store.data(key) == kData;
        case Form::dataArray: return store.dataArray(key) == kDataArray;
    }
    return false;
}

}  // namespace preferences

TYPED_TEST_P(PreferencesContract, RoundTripsEveryForm) {
    auto& store = *this->store_;
    const std::vector<std::string> texts = {"", "plain", "\xC3\xBC\xE2\x82\xAC", std::string("nul\0inside", 10),
                                            std::string(100'000, 'x')};
    for (const auto& text : texts) {
        ASSERT_TRUE(store.setString("text", text));
        EXPECT_EQ(store.string("text"), text);
    }
    for (const bool flag : {true, false}) {
        ASSERT_TRUE(store.setBoolean("flag", flag));
        EXPECT_EQ(store.boolean("flag"), flag);
    }
    const std::vector<Data> buffers = {{}, {0, 255, 0}, Data(200'000, 7)};
    for (const auto& data : buffers) {
        ASSERT_TRUE(store.setData("data", data));
        EXPECT_EQ(store.data("data"), data);
    }
    const std::vector<std::vector<Data>> arrays = {{}, {{}}, {{1}, {}, {2, 3}}, std::vector<Data>(300, Data(70, 9))};
    for (const auto& array : arrays) {
        ASSERT_TRUE(store.setDataArray("array", array));
        EXPECT_EQ(store.dataArray("array"), array);
    }
}

TYPED_TEST_P(PreferencesContract, ReadsInAnotherFormAnswerAbsent) {
    using namespace preferences;
    auto& store = *this->store_;
    for (const Form written : kForms) {
        ASSERT_TRUE(write(store, "key", written));
        for (const Form read : kForms) {
            EXPECT_EQ(holds(store, "key", read), read == written)
                << "written " << static_cast<int>(written) << ", read " << static_cast<int>(read);
        }
    }
}

TYPED_TEST_P(PreferencesContract, AbsentStringAndRemoveClearTheKeyInAnyForm) {
    using namespace preferences;
    auto& store = *this->store_;
    for (const Form form : kForms) {
        ASSERT_TRUE(write(store, "key", form));
        ASSERT_TRUE(store.setString("key", std::nullopt));
        EXPECT_FALSE(holds(store, "key", form));
        ASSERT_TRUE(write(store, "key", form));
        ASSERT_TRUE(store.remove("key"));
        EXPECT_FALSE(holds(store, "key", form));
    }
    EXPECT_TRUE(store.remove("never written"));
    EXPECT_FALSE(store.string("never written"));
    EXPECT_FALSE(store.boolean("never written"));
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
    for (auto& writer : writers) {
        writer.join();
    }
    for (int writer = 0; writer < kWriters; ++writer) {
        for (int write = kWritesEach - 5; write < kWritesEach; ++write) {
            EXPECT_EQ(store.data(keyOf(writer, write)), Data{static_cast<std::uint8_t>(write)});
        }
    }
}

REGISTER_TYPED_TEST_SUITE_P(PreferencesContract, RoundTripsEveryForm, ReadsInAnotherFormAnswerAbsent,
                            AbsentStringAndRemoveClearTheKeyInAnyForm, ConcurrentWritersKeepEveryKey);

}  // namespace fenk::contract
