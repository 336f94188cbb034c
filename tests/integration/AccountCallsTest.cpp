// The account calls as they ship (libcurl, real threads) against fenk-platform on loopback: each answers
// exactly once, with the platform's data, or with its failure value when the platform refuses, sends what
// cannot be read, or the device has no session.
#include "FenkSDK/FenkManager.h"
#include "adapters/fake/FakeEnvironment.h"
#include "adapters/linux/CurlHttp.h"
#include "adapters/linux/RedirectingHttp.h"
#include "adapters/linux/ThreadDispatcher.h"
#include "adapters/linux/TrackedHttp.h"
#include "support/AccountRecordsText.h"
#include "support/SamplePlatform.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <array>
#include <mutex>

using namespace std::chrono_literals;

namespace fenk {
namespace {

enum Outcome { success, refused, unreadable, noSession };

// Keeps every answer a call gives, as one comparable line each; copies share the answers.
class Answers {
public:
    template <class Value>
    void operator()(const Value& value) const {
        const std::scoped_lock lock(state_->mutex);
        state_->answers.push_back(test::answerText(value));
    }
    std::vector<std::string> taken() const {
        const std::scoped_lock lock(state_->mutex);
        return std::exchange(state_->answers, {});
    }

private:
    struct State {
        std::mutex mutex;
        std::vector<std::string> answers;
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
};
using Answer = const Answers&;

struct AccountCall {
    const char* name;
    std::string path;  // the service whose reply a fault spoils
    std::function<void(FenkManager&, Answer)> call;
    std::array<const char*, 4> answers;  // by Outcome
};
void PrintTo(const AccountCall& c, std::ostream* out) { *out << c.name; }

// A registered device has joined the foodies before the call.
const AccountCall kCalls[] = {
    {"getUserProfile", "/soa.api.user.user-profile",
     [](FenkManager& m, Answer a) { m.getUserProfile(a); },
     {"shopping=high sport=medium culture=low", "[]", "[]", "[]"}},
    {"updateExtraData", "/soa.api.user.update",
     [](FenkManager& m, Answer a) { m.updateExtraData("a:1,b:2,a:3", a); },
     {"OK", "ERROR", "(none)", "ERROR"}},
    {"listGroups", "/soa.api.group.list",
     [](FenkManager& m, Answer a) { m.listGroups(a); },
     {"group-runners group-foodies group-museums", "(none)", "(none)", "(none)"}},
    {"subscriptionGroups", "/soa.api.group.subscription",
     [](FenkManager& m, Answer a) { m.subscriptionGroups(a); },
     {"group-foodies", "(none)", "(none)", "(none)"}},
    {"joinGroup", "/soa.api.group.join",
     [](FenkManager& m, Answer a) { m.joinGroup("group-runners", a); },
     {"true", "false", "false", "false"}},
    {"joinGroupWithoutId", "/soa.api.group.join",
     [](FenkManager& m, Answer a) { m.joinGroup(std::nullopt, a); },
     {"false", "false", "false", "false"}},
    {"leaveGroup", "/soa.api.group.leave",
     [](FenkManager& m, Answer a) { m.leaveGroup("group-foodies", a); },
     {"true", "false", "false", "false"}},
    {"findGroups", "/soa.api.group.find-groupname",
     [](FenkManager& m, Answer a) { m.findGroups("RUN", a); },
     {"group-runners", "(none)", "(none)", "(none)"}},
};

class AccountCallsTest : public testing::TestWithParam<std::tuple<AccountCall, Outcome>> {
protected:
    AccountCallsTest() {
        Environment environment = fakes_.environment();
        environment.dispatcher = dispatcher_;
        environment.http = std::make_shared<TrackedHttp<ThreadDispatcher>>(
            std::make_shared<RedirectingHttp>(std::make_shared<CurlHttp>(dispatcher_),
                                              "127.0.0.1:" + std::to_string(platform_->port())),
            dispatcher_);
        environment.location = nullptr;
        environment.ui = nullptr;
        Environment::install(environment);
    }
    // The HTTP client goes with the installed environment, closing its connections before the platform stops.
    ~AccountCallsTest() override {
        FenkManager::resetSharedManager();
        dispatcher_->waitUntilIdle(30s);
        Environment::install(FakeEnvironment{}.environment());
    }

    // Runs the call until every piece of work it started has ended; its answers.
    std::vector<std::string> answersOf(const std::function<void(FenkManager&, Answer)>& call) {
        call(*FenkManager::sharedManager(), answers_);
        EXPECT_TRUE(dispatcher_->waitUntilIdle(30s)) << "the call's work never ended";
        return answers_.taken();
    }

    TemporaryFolder platformFolder_;
    std::unique_ptr<PlatformServer> platform_ = startSamplePlatform(platformFolder_.path());
    FakeEnvironment fakes_;
    std::shared_ptr<ThreadDispatcher> dispatcher_ = std::make_shared<ThreadDispatcher>();
    Answers answers_;
};

TEST_P(AccountCallsTest, AnswersOnceWithTheOutcome) {
    const auto& [c, outcome] = GetParam();
    if (outcome != noSession) {
        const auto registered = answersOf([](FenkManager& m, Answer a) {
            m.registerDevice("sample-app-key", "http://127.0.0.1", false, a);
        });
        ASSERT_EQ(registered.size(), 1u);
        ASSERT_FALSE(registered[0].empty() || registered[0] == "(none)") << registered[0];
        ASSERT_EQ(answersOf([](FenkManager& m, Answer a) { m.joinGroup("group-foodies", a); }),
                  std::vector<std::string>{"true"});
    }
    if (outcome == refused || outcome == unreadable) {
        platform_->faults().arm(
            {.fault = {.kind = outcome == refused ? Fault::Kind::error : Fault::Kind::garbage}, .path = c.path});
    }

    EXPECT_EQ(answersOf(c.call), std::vector<std::string>{c.answers[outcome]});
}

std::string rowName(const testing::TestParamInfo<std::tuple<AccountCall, Outcome>>& row) {
    static constexpr const char* kOutcomeNames[] = {"Success", "Refused", "Unreadable", "NoSession"};
    return std::string(std::get<0>(row.param).name) + kOutcomeNames[std::get<1>(row.param)];
}

INSTANTIATE_TEST_SUITE_P(Calls, AccountCallsTest,
                         testing::Combine(testing::ValuesIn(kCalls),
                                          testing::Values(success, refused, unreadable, noSession)),
                         rowName);

}  // namespace
}  // namespace fenk
