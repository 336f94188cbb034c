#include "FenkSDK/UserDefault.h"

#include "FenkSDK/api/FG_Authenticate.h"
#include "FenkSDK/api/FG_Extra.h"
#include "adapters/fake/MemoryPreferences.h"
#include "support/ConsoleCapture.h"

#include <gmock/gmock.h>


namespace fenk {
namespace {

using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::SizeIs;

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
    const std::optional<std::string> stored[] = {std::nullopt, "not json", R"({"name":5})"};
    for (const auto& bytes : stored) {
        SCOPED_TRACE(bytes.value_or("missing"));
        preferences_.remove(kKey);
        if (bytes) preferences_.setData(kKey, toData(*bytes));
        EXPECT_FALSE(defaults_.loadRecord<FG_Extra>(kKey));
        EXPECT_THAT(console_.lines(), IsEmpty()) << "the record loader is silent";
        EXPECT_FALSE(defaults_.getData<FG_Extra>(kKey));
        EXPECT_THAT(console_.lines(), SizeIs(bytes ? 1U : 0U));
        EXPECT_THAT(console_.lines(), Each(HasSubstr(std::string(kKey))));
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

TEST_F(UserDefaultTest, ListSkipsAndReportsUndecodableElements) {
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
