#include "FenkSDK/FenkManager.h"

#include "FenkSDK/UserDefault.h"
#include "FenkSDK/location/LocationNotifications.h"
#include "FenkSDK/api/FG_Extra.h"
#include "FenkSDK/location/PositionHistory.h"
#include "FenkSDK/location/PositionPipeline.h"
#include "FenkSDK/location/PositionUploader.h"
#include "FenkSDK/places/FenkGeohash.h"
#include "adapters/fake/FakeEnvironment.h"
#include "support/ConsoleCapture.h"
#include "support/FormFields.h"
#include "support/PostedNotifications.h"
#include "support/ScriptedPlatform.h"
#include "support/TraceFixes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

using namespace std::chrono_literals;

namespace fenk {
namespace {

using test::fixAt;
using test::formField;

constexpr std::string_view kUpload = "soa.api.user.location.update";
// The pieces of a test fix: standing still, 5 m accurate.
const std::string kStill = ",speed:0,altitude:0,accuracy:5,bearing:0";

// A registered installation, online over Wi-Fi, whose platform answers every upload.
class PositionPipelineTest : public testing::Test {
protected:
    void SetUp() override {
        fakes.preferences->setString(settingsKeys::kKeyResourceId, "user-1");
        fakes.preferences->setString(settingsKeys::kKeyAppKey, "app-key");
        fakes.preferences->setString(settingsKeys::kKeyUrlPlatformUrl, "https://platform.example");
        fakes.http->setAutoReply(scriptedPlatform({{std::string(kUpload), FakeHttpReply::text(R"({"response":"OK"})")}}));
        Environment::install(fakes.environment());
        fakes.preferences->setBoolean(settingsKeys::kFenkActiveTracking, true);
        manager = FenkManager::sharedManager();
        manager->scheduleStartTracking();
        fakes.dispatcher->runUntilIdle();
    }
    void TearDown() override {
        manager.reset();
        FenkManager::resetSharedManager();
    }

    // A fix `north` metres from the base, `minutes` after the start.
    void announce(double north, double minutes, double accuracy = 5) {
        post(*StoredLocation::fromFix(fixAt(north, minutes, accuracy)));
    }
    void post(const StoredLocation& record) {
        fakes.notificationCenter->post(kPositionReceived, std::make_shared<StoredLocation>(record));
        fakes.dispatcher->runUntilIdle();
    }

    // The descriptor of each upload, in the order they were sent.
    std::vector<std::string> uploads() const {
        std::vector<std::string> extras;
        for (const auto& request : fakes.http->requests()) {
            if (request.url.find(kUpload) != std::string::npos) extras.push_back(formField(request.body, "extra"));
        }
        return extras;
    }
    std::vector<StoredLocation> history() const { return PositionHistory(*fakes.preferences).load(); }
    std::size_t waiting() const { return manager->positionUploader()->waiting(); }

    FakeEnvironment fakes;
    std::shared_ptr<FenkManager> manager;
};

// Seconds since 1970 of a fix `minutes` after the start of the test traces.
std::string timeAt(double minutes) {
    const auto record = StoredLocation::fromFix(fixAt(0, minutes));
    return std::to_string(static_cast<long long>(secondsSinceReferenceDate(*record->arrivalDate)) + 978'307'200);
}

TEST_F(PositionPipelineTest, MovingThroughCellsUploadsEachOpenAndClosedOnceAndKeepsThreeCells) {
    PostedNotifications tracked(fakes.notificationCenter, {kLocationTrack});
    announce(0, 0);
    announce(20, 2);  // same cell, still there: nothing
    ASSERT_EQ(uploads(), (std::vector<std::string>{"time:" + timeAt(0) + kStill + ",network_lan:Wifi"}));
    const auto requests = fakes.http->requests();
    const auto upload = std::ranges::find_if(requests, [](const HttpRequest& request) {
        return request.url.find(kUpload) != std::string::npos;
    });
    EXPECT_EQ(formField(upload->body, "latitude"), "40.4168");
    EXPECT_EQ(formField(upload->body, "longitude"), "-3.7038");
    ASSERT_EQ(history().size(), 1U);

    for (int cell = 1; cell <= 3; ++cell) announce(400.0 * cell, 10.0 * cell);
    const auto sent = uploads();
    ASSERT_EQ(sent.size(), 7U);
    EXPECT_EQ(sent[1], "time:" + timeAt(0) + kStill + ",dwelltime:600,network_lan:Wifi") << "closed when it left";
    EXPECT_EQ(sent[2], "time:" + timeAt(10) + kStill + ",network_lan:Wifi");
    EXPECT_EQ(history().size(), 3U);
    EXPECT_EQ(tracked.all().size(), 7U);
    EXPECT_EQ(waiting(), 0U);
    EXPECT_EQ(std::ranges::count_if(fakes.http->requests(),
                                    [](const HttpRequest& request) {
                                        return request.url.find("find-places-nearby") != std::string::npos;
                                    }),
              4)
        << "the platform is asked about each new cell";
    // Each new cell is fenced.
    ASSERT_FALSE(fakes.location->monitoredRegions().empty());
    EXPECT_EQ(fakes.location->monitoredRegions().back().identifier, history().back().geohash);
}

TEST_F(PositionPipelineTest, OfflinePositionsWaitAndGoOutOldestFirstWhenTheLinkReturns) {
    fakes.reachability->report(ReachabilityFlags{});
    for (int cell = 0; cell < 3; ++cell) announce(400.0 * cell, 10.0 * cell);
    EXPECT_TRUE(uploads().empty());
    EXPECT_EQ(waiting(), 5U);

    fakes.reachability->report(ReachabilityFlag::reachable);
    fakes.dispatcher->runUntilIdle();
    const auto sent = uploads();
    ASSERT_EQ(sent.size(), 5U);
    EXPECT_TRUE(sent[0] == "time:" + timeAt(0) + kStill + ",network_lan:Wifi");
    EXPECT_NE(sent[1].find("dwelltime:600"), std::string::npos);
    EXPECT_TRUE(sent[4].starts_with("time:" + timeAt(20)));
    EXPECT_EQ(waiting(), 0U);
    EXPECT_EQ(manager->positionUploader()->statistics().resent, 5U);
}

TEST_F(PositionPipelineTest, AnUploadThePlatformDidNotTakeIsKeptAndSentAgain) {
    struct Row {
        const char* name;
        FakeHttpReply reply;
    };
    double minutes = 0;
    for (const Row& row : {Row{"no reply", FakeHttpReply::noBody()}, Row{"busy", FakeHttpReply::text("{}", 503)},
                           Row{"time-out", FakeHttpReply::text("{}", 408)}, Row{"too many", FakeHttpReply::text("{}", 429)}}) {
        SCOPED_TRACE(row.name);
        fakes.http->setAutoReply(scriptedPlatform({{std::string(kUpload), row.reply}}));
        PostedNotifications tracked(fakes.notificationCenter, {kLocationTrack});
        const auto before = uploads().size();
        minutes += 60;
        announce(minutes * 100, minutes);
        EXPECT_EQ(uploads().size(), before + 2) << "tried, then once more at once, then left to the back-off";
        EXPECT_TRUE(tracked.all().empty()) << "nothing is reported before the platform answered";
        EXPECT_GE(waiting(), 1U);

        fakes.http->setAutoReply(scriptedPlatform({{std::string(kUpload), FakeHttpReply::text(R"({"response":"OK"})")}}));
        fakes.dispatcher->advance(40s);
        EXPECT_EQ(waiting(), 0U);
        EXPECT_FALSE(tracked.all().empty());
    }
}

TEST_F(PositionPipelineTest, WithoutAnAuthenticationRecordNothingIsReportedAndNothingLost) {
    fakes.preferences->remove(settingsKeys::kKeyCacheAutenticate);
    fakes.preferences->remove(settingsKeys::kKeyUrlPlatformUrl);
    PostedNotifications tracked(fakes.notificationCenter, {kLocationTrack});
    announce(0, 0);
    EXPECT_TRUE(tracked.all().empty());
    EXPECT_EQ(waiting(), 1U);
}

TEST_F(PositionPipelineTest, BackOffGrowsWhileThePlatformKeepsFailing) {
    fakes.http->setAutoReply(scriptedPlatform({{std::string(kUpload), FakeHttpReply::text("{}", 500)}}));
    announce(0, 0);
    ASSERT_EQ(uploads().size(), 2U);
    // The seconds between later tries: about 30, 60, 120, ... up to 15 minutes, each within ±20%.
    std::vector<int> gaps;
    int sinceLast = 0;
    for (int second = 0; second < 60 * 60; ++second) {
        const auto before = uploads().size();
        fakes.dispatcher->advance(1s);
        ++sinceLast;
        if (uploads().size() > before) gaps.push_back(std::exchange(sinceLast, 0));
    }
    ASSERT_GE(gaps.size(), 7U);
    for (std::size_t i = 0; i < 7; ++i) {
        const double expected = std::min(30.0 * (1 << i), 900.0);
        EXPECT_GE(gaps[i], expected * 0.8 - 1) << i;
        EXPECT_LE(gaps[i], expected * 1.2 + 1) << i;
    }
}

TEST_F(PositionPipelineTest, ASameCellVisitThatLeftClosesTheOpenEntryAtItsDeparture) {
    announce(0, 0);
    const auto visit = StoredLocation::fromVisit(test::pointAt(10), fixAt(0, 30).timestamp, fixAt(0, 150).timestamp);
    post(*visit);
    const auto sent = uploads();
    ASSERT_EQ(sent.size(), 2U);
    EXPECT_NE(sent[1].find("dwelltime:9000"), std::string::npos) << sent[1];
}

TEST_F(PositionPipelineTest, TheListEarlierVersionsKeptGoesOutFirst) {
    manager.reset();
    FenkManager::resetSharedManager();
    const auto old = StoredLocation::fromFix(fixAt(0, -60));
    UserDefault(*fakes.preferences).setDataArray(std::vector{*old}, settingsKeys::kFenkPositionsNotPosted);
    manager = FenkManager::sharedManager();
    fakes.dispatcher->runUntilIdle();
    announce(0, 0);
    const auto sent = uploads();
    ASSERT_EQ(sent.size(), 2U);
    EXPECT_TRUE(sent[0].starts_with("time:" + timeAt(-60)));
    EXPECT_FALSE(fakes.preferences->dataArray(settingsKeys::kFenkPositionsNotPosted).size());
}

TEST_F(PositionPipelineTest, NothingWaitsOnATimerWhileNothingIsQueued) {
    // A host that never registered: nothing can be sent, and nothing needs to be.
    manager.reset();
    FenkManager::resetSharedManager();
    fakes.preferences->remove(settingsKeys::kKeyResourceId);
    manager = FenkManager::sharedManager();
    fakes.dispatcher->runUntilIdle();
    EXPECT_EQ(fakes.dispatcher->pendingTasks(), 0U);
}

TEST_F(PositionPipelineTest, FixesPastTheAccuracyLimitAreDropped) {
    UserDefault(*fakes.preferences)
        .setDataArray(std::vector{FG_Extra{.name = "userAccuracyMaxValue", .value = "65"}}, settingsKeys::kFenkAppParameters);
    announce(0, 0, 66.0);
    EXPECT_TRUE(uploads().empty());
    announce(0, 1, 65.9);
    EXPECT_EQ(uploads().size(), 1U);
    EXPECT_EQ(manager->positionPipeline()->droppedForAccuracy(), 1U);
}

}  // namespace
}  // namespace fenk
