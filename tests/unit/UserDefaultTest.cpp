#include "FenkSDK/UserDefault.h"

#include "FenkSDK/api/FG_Authenticate.h"
#include "FenkSDK/api/FG_Extra.h"
#include "adapters/fake/MemoryPreferences.h"
#include "support/ConsoleCapture.h"

#include <gmock/gmock.h>

#include <functional>

namespace fenk {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

constexpr std::string_view kKey = settingsKeys::kFenkAppParameters;

FG_Extra extra(std::string name) { return FG_Extra{std::move(name), "value"}; }
// Text that is not UTF-8 cannot be written as JSON.
const FG_Extra kUnencodable = extra("\xff");

std::vector<std::optional<std::string>> namesOf(const std::vector<FG_Extra>& list) {
    std::vector<std::optional<std::string>> names;
    for (const auto& element : list) {
        names.push_back(element.name);
    }
    return names;
}

class UserDefaultTest : public ::testing::Test {
protected:
    MemoryPreferences preferences_;
    UserDefault defaults_{preferences_};
    ConsoleCapture console_;
};

TEST_F(UserDefaultTest, RecordRoundTripsAndAbsentOrUnencodableValueRemovesIt) {
    const FG_Authenticate authenticate{"https://platform.test", "1.0", "token", std::nullopt};
    ASSERT_TRUE(defaults_.setData(std::optional(authenticate), settingsKeys::kKeyCacheAutenticate));
    const auto loaded = defaults_.getData<FG_Authenticate>(settingsKeys::kKeyCacheAutenticate);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(json::encode(*loaded), json::encode(authenticate));

    ASSERT_TRUE(defaults_.setData(std::optional<FG_Authenticate>(), settingsKeys::kKeyCacheAutenticate));
    EXPECT_FALSE(defaults_.getData<FG_Authenticate>(settingsKeys::kKeyCacheAutenticate));

    ASSERT_TRUE(defaults_.setData(std::optional(extra("kept?")), kKey));
    EXPECT_FALSE(defaults_.setData(std::optional(kUnencodable), kKey));
    EXPECT_FALSE(defaults_.getData<FG_Extra>(kKey));
    EXPECT_THAT(console_.lines(), IsEmpty());
}

TEST_F(UserDefaultTest, UnreadableRecordAnswersNoneAndOnlyDecodingErrorsAreReported) {
    const std::vector<std::tuple<const char*, std::function<void()>, bool>> cases = {
        {"missing", [] {}, false},
        {"plain string", [&] { preferences_.setString(kKey, "{}"); }, false},
        {"record list", [&] { defaults_.setDataArray(std::vector{extra("a")}, kKey); }, false},
        {"bytes that are not JSON", [&] { preferences_.setData(kKey, toData("not json")); }, true},
        {"a number where text is declared", [&] { preferences_.setData(kKey, toData(R"({"name":5})")); }, true},
    };
    for (const auto& [name, store, reported] : cases) {
        SCOPED_TRACE(name);
        preferences_.remove(kKey);
        store();
        EXPECT_FALSE(defaults_.loadRecord<FG_Extra>(kKey));
        EXPECT_THAT(console_.lines(), IsEmpty()) << "the record loader is silent";
        EXPECT_FALSE(defaults_.getData<FG_Extra>(kKey));
        EXPECT_EQ(console_.lines().size(), reported ? 1U : 0U);
        if (reported) {
            EXPECT_THAT(console_.lines().at(0), HasSubstr(std::string(kKey)));
        }
        console_.clear();
    }
}

TEST_F(UserDefaultTest, ListKeepsOrderAndSurvivesEmptyUnencodableAndUncommittedLists) {
    ASSERT_TRUE(defaults_.setDataArray(std::vector{extra("a"), extra("b"), extra("c")}, kKey));
    const std::vector<std::optional<std::string>> expected = {"a", "b", "c"};
    EXPECT_EQ(namesOf(defaults_.getDataArray<FG_Extra>(kKey)), expected);

    EXPECT_TRUE(defaults_.setDataArray(std::vector<FG_Extra>(), kKey));
    EXPECT_EQ(namesOf(defaults_.getDataArray<FG_Extra>(kKey)), expected);

    EXPECT_FALSE(defaults_.setDataArray(std::vector{extra("d"), kUnencodable}, kKey));
    EXPECT_EQ(namesOf(defaults_.getDataArray<FG_Extra>(kKey)), expected);

    preferences_.failNextWrite();
    EXPECT_FALSE(defaults_.setDataArray(std::vector{extra("d")}, kKey));
    EXPECT_EQ(namesOf(defaults_.getDataArray<FG_Extra>(kKey)), expected);
}

TEST_F(UserDefaultTest, ListReadsOnlyRecordListsAndSkipsUndecodableElements) {
    preferences_.setString(kKey, R"([{"name":"a"}])");
    EXPECT_THAT(defaults_.getDataArray<FG_Extra>(kKey), IsEmpty());
    defaults_.setData(std::optional(extra("a")), kKey);
    EXPECT_THAT(defaults_.getDataArray<FG_Extra>(kKey), IsEmpty());
    EXPECT_THAT(console_.lines(), IsEmpty());

    preferences_.setDataArray(kKey, {toData(R"({"name":"a"})"), toData("garbage"), toData(R"({"name":1})"),
                                     toData(R"({"name":"b"})")});
    EXPECT_THAT(namesOf(defaults_.getDataArray<FG_Extra>(kKey)), ElementsAre("a", "b"));
    EXPECT_EQ(console_.lines().size(), 2U);
}

TEST_F(UserDefaultTest, RecordSaverKeepsTheOldValueWhenItCannotStoreTheNewOne) {
    ASSERT_TRUE(defaults_.saveRecord(extra("old"), kKey));
    EXPECT_FALSE(defaults_.saveRecord(kUnencodable, kKey));
    preferences_.failNextWrite();
    EXPECT_FALSE(defaults_.saveRecord(extra("new"), kKey));
    const auto loaded = defaults_.loadRecord<FG_Extra>(kKey);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->name, "old");
}

}  // namespace
}  // namespace fenk
