// Every host completion runs exactly once, on an SDK thread: whether the work answers, cannot be done in
// this build, or is abandoned because the host released the manager halfway.
#include "FenkSDK/FenkManager.h"
#include "FenkSDK/UserDefault.h"
#include "adapters/fake/FakeEnvironment.h"
#include "support/ScriptedPlatform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace fenk {
namespace {

class HostCompletionTest : public testing::Test {
protected:
    void SetUp() override { Environment::install(fakes.environment()); }
    void TearDown() override {
        FenkManager::resetSharedManager();
        Environment::install(FakeEnvironment{}.environment());
    }

    // A completion for any operation: it records each answer as text, and that it ran on the global queue.
    auto recorder() {
        return [this](const auto& value) {
            answers.push_back(describe(value));
            EXPECT_TRUE(fakes.dispatcher->globalQueue()->isCurrent()) << answers.back();
        };
    }
    static std::string describe(bool flag) { return flag ? "true" : "false"; }
    static std::string describe(const std::string& text) { return '"' + text + '"'; }
    static std::string describe(const std::optional<std::string>& text) { return text ? describe(*text) : "none"; }
    template <class Value>
    static std::string describe(const std::optional<Value>& value) {
        return value ? "some" : "none";
    }

    FakeEnvironment fakes;
    std::vector<std::string> answers;
};

TEST_F(HostCompletionTest, AnswersKnownAtOnceStillArriveOnTheGlobalQueue) {
    const auto manager = FenkManager::sharedManager();
    manager->getUserPermission("location", recorder());
    manager->setUserPermission("location", true, recorder());
    manager->getAdIdWithPermissionWithCompletion(recorder());
    manager->checkUserLocation(recorder());
    manager->setDataNotificationsToken(std::nullopt, recorder());
    manager->listGroups(nullptr);  // a host that wants no answer gets none, and no crash

    EXPECT_TRUE(answers.empty()) << "nothing runs on the caller's thread";
    fakes.dispatcher->runUntilIdle();
    // Each in its own time: some ask the platform first.
    std::ranges::sort(answers);
    EXPECT_EQ(answers, (std::vector<std::string>{"\"\"", "\"\"", "false", "false", "none"}));
}

// The host releases the manager while each operation is still on its way: before its queue ran it, or
// while it waits on the platform. The answer is the operation's failure value, after the release returned.
TEST_F(HostCompletionTest, ReleasingTheManagerMidOperationAnswersTheFailureValueOnce) {
    const std::function<void(FenkManager&)> registerDevice = [this](FenkManager& manager) {
        manager.registerDevice("KEY", "https://platform.example", true, recorder());
    };
    const std::function<void(FenkManager&)> setToken = [this](FenkManager& manager) {
        manager.setNotificationsToken("abc", recorder());
    };
    const std::function<void(FenkManager&)> updateExtraData = [this](FenkManager& manager) {
        manager.updateExtraData("a:1", recorder());
    };
    const std::function<void(FenkManager&)> listGroups = [this](FenkManager& manager) {
        manager.listGroups(recorder());
    };
    const struct {
        const char* name;
        bool waitOnPlatform;
        std::function<void(FenkManager&)> start;
        const char* expected;
    } cases[] = {
        {"RegistrationQueued", false, registerDevice, "\"\""},
        {"RegistrationAwaitingThePlatform", true, registerDevice, "\"\""},
        {"TokenQueued", false, setToken, "false"},
        {"TokenAwaitingThePlatform", true, setToken, "false"},
        {"ExtraDataQueued", false, updateExtraData, "none"},
        {"GroupsQueued", false, listGroups, "none"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        answers.clear();
        fakes.preferences->setString(settingsKeys::kKeyResourceId, "user-1");  // a user to send the token to
        fakes.http->setAutoReply(scriptedPlatform({{"/", std::nullopt}}));   // the platform never answers

        c.start(*FenkManager::sharedManager());
        if (c.waitOnPlatform) {
            fakes.dispatcher->runUntilIdle();
            EXPECT_EQ(fakes.http->unansweredCount(), 1u);
        }
        FenkManager::resetSharedManager();
        EXPECT_TRUE(answers.empty()) << "nothing runs inside the host's release";

        fakes.dispatcher->runUntilIdle();
        fakes.dispatcher->advance(std::chrono::minutes(10));  // requests left waiting time out
        EXPECT_EQ(answers, std::vector<std::string>{c.expected});
    }
}

}  // namespace
}  // namespace fenk
