#include "FenkSDK/engagement/UserProfileCalls.h"

#include "FenkSDK/UserDefault.h"
#include "adapters/fake/FakeEnvironment.h"
#include "support/AccountRecordsText.h"
#include "support/RegisteredPlatform.h"
#include "support/ScriptedPlatform.h"

#include <gtest/gtest.h>

namespace fenk {
namespace {

constexpr const char* kNothingStored = "(none)";

struct Case {
    const char* name;
    bool viaGetUserProfile;  // else fetchUserProfile
    bool storedBefore;       // "old=low" stored
    bool online;
    FakeHttpReply reply;
    std::string answer;
    std::string storedAfter;
    bool registered = true;
};
void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

FakeHttpReply profileReply(std::string_view data) {
    return FakeHttpReply::text(R"({"response":"OK","data":)" + std::string(data) + "}");
}
const FakeHttpReply kSportHigh = profileReply(R"({"userHabits":[{"name":"sport","level":"high"}]})");
const FakeHttpReply kRefused = FakeHttpReply::text(R"({"response":"ERROR","data":{"userHabits":[]}})");

struct UserProfileCallsTest : testing::TestWithParam<Case> {};

TEST_P(UserProfileCallsTest, AnswersOnceAndKeepsTheLatestProfile) {
    const Case& c = GetParam();
    FakeEnvironment fakes;
    if (c.registered) storeRegisteredSession(*fakes.preferences);
    if (c.storedBefore) {
        UserDefault(*fakes.preferences).setDataArray(std::vector{FG_UserHabit{"old", "low"}}, settingsKeys::kFenkUserProfile);
    }
    fakes.http->setAutoReply(scriptedPlatform({{"user-profile", c.reply}}));
    const UserProfileCalls calls(fakes.preferences, PlatformTransport(fakes.http, fakes.dispatcher),
                                 fakes.dispatcher->globalQueue(), [online = c.online] { return online; });

    std::vector<std::string> answers;
    const auto record = [&](UserProfileCalls::Habits habits) { answers.push_back(test::answerText(habits)); };
    if (c.viaGetUserProfile) {
        calls.getUserProfile(record);
    } else {
        calls.fetchUserProfile(record);
    }
    fakes.dispatcher->advance(PlatformTransport::kRequestTimeout);

    EXPECT_EQ(answers, std::vector{c.answer});
    const auto stored = UserDefault(*fakes.preferences).getDataArray<FG_UserHabit>(settingsKeys::kFenkUserProfile);
    EXPECT_EQ(test::answerText(stored.empty() ? UserProfileCalls::Habits{} : stored), c.storedAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, UserProfileCallsTest,
    testing::Values(
        Case{"FetchStoresTheHabits", false, true, true, kSportHigh, "sport=high", "sport=high"},
        Case{"FetchWithEmptyHabitsRemovesTheStale", false, true, true, profileReply(R"({"userHabits":[]})"), "[]",
             kNothingStored},
        Case{"FetchWithoutHabitsRemovesTheStale", false, true, true, profileReply(R"({"resourceId":"user-1"})"), "[]",
             kNothingStored},
        Case{"FetchRefusedKeepsTheStored", false, true, true, kRefused, "[]", "old=low"},
        Case{"FetchUnreadableKeepsTheStored", false, true, true, FakeHttpReply::garbage(), "[]", "old=low"},
        Case{"FetchOfflineAnswersNone", false, true, false, kSportHigh, kNothingStored, "old=low"},
        Case{"FetchWithoutSessionAnswersEmpty", false, false, true, kSportHigh, "[]", kNothingStored, false},
        Case{"GetAnswersTheStoredAndRefreshes", true, true, true, kSportHigh, "old=low", "sport=high"},
        Case{"GetAnswersTheStoredWhenTheRefreshFails", true, true, true, kRefused, "old=low", "old=low"},
        Case{"GetWithNothingStoredFetches", true, false, true, kSportHigh, "sport=high", "sport=high"},
        Case{"GetWithNothingStoredOfflineAnswersNone", true, false, false, kSportHigh, kNothingStored,
             kNothingStored}));

}  // namespace
}  // namespace fenk
