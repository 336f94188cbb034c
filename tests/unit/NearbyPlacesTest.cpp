#include "FenkSDK/places/NearbyPlaces.h"

#include "adapters/fake/FakeEnvironment.h"
#include "support/ScriptedPlatform.h"
#include "support/StoredSession.h"

#include <gtest/gtest.h>

#include <tuple>

namespace fenk {
namespace {

using Text = std::optional<std::string>;
using NoticeArguments = std::tuple<Text, Text, Text>;

struct NearbyPlacesTest : testing::Test {
    // Asks for the places near (1.5, -3.25) with the platform answering `reply`; collects what came back.
    void request(std::optional<FakeHttpReply> reply) {
        fakes.http->setAutoReply(scriptedPlatform({{"find-places-nearby", std::move(reply)}}));
        places.requestNearbyPlaces(1.5, -3.25, [this](NearbyPlaces::Places answer) { answers.push_back(std::move(answer)); });
        fakes.dispatcher->advance(PlatformTransport::kRequestTimeout);
    }
    std::vector<HttpRequest> nearbyRequests() const {
        std::vector<HttpRequest> found;
        for (const auto& sent : fakes.http->requests()) {
            if (sent.url.find("find-places-nearby") != std::string::npos) found.push_back(sent);
        }
        return found;
    }

    FakeEnvironment fakes;
    std::vector<NoticeArguments> notices;
    std::vector<NearbyPlaces::Places> answers;
    NearbyPlaces places{fakes.preferences, PlatformTransport(fakes.http, fakes.dispatcher), fakes.dispatcher->globalQueue(),
                        [this](const Text& message, const Text& icon, const Text& link) {
                            notices.emplace_back(message, icon, link);
                        }};
};

struct ReplyCase {
    const char* name;
    std::optional<FakeHttpReply> reply;
    std::optional<NoticeArguments> notice;
    std::optional<std::size_t> placeCount;
};
void PrintTo(const ReplyCase& c, std::ostream* out) { *out << c.name; }

FakeHttpReply placesReply(std::string_view data) {
    return FakeHttpReply::text(R"({"response":"OK","data":)" + std::string(data) + "}");
}

struct NearbyReplies : NearbyPlacesTest, testing::WithParamInterface<ReplyCase> {};

TEST_P(NearbyReplies, RaiseTheFirstPlacesNoticeAndCompleteOnce) {
    const ReplyCase& c = GetParam();
    storeRegisteredSession(*fakes.preferences);
    request(c.reply);

    EXPECT_EQ(notices, c.notice ? std::vector{*c.notice} : std::vector<NoticeArguments>{});
    ASSERT_EQ(answers.size(), 1u);
    ASSERT_EQ(answers[0].has_value(), c.placeCount.has_value());
    if (c.placeCount) {
        EXPECT_EQ(answers[0]->size(), *c.placeCount);
    }
}

const NoticeArguments kNothingFound{};

INSTANTIATE_TEST_SUITE_P(
    Rows, NearbyReplies,
    testing::Values(
        ReplyCase{"OnlySecondPlaceHasExtras",
                  placesReply(R"([{"id":"a","extras":[]},{"id":"b","extras":[{"name":"d2s-message","value":"no"}]}])"),
                  kNothingFound, 2},
        ReplyCase{"LaterExtraReplacesEarlier",
                  placesReply(R"([{"extras":[{"name":"d2s-message","value":"one"},{"name":"d2s-icon","value":"i"},)"
                              R"({"name":"d2s-link-url","value":"l"},{"name":"d2s-message","value":"two"}]}])"),
                  NoticeArguments{"two", "i", "l"}, 1},
        ReplyCase{"NamesMatchedExactly",
                  placesReply(R"([{"extras":[{"name":"D2S-MESSAGE","value":"x"},{"name":" d2s-message","value":"x"},)"
                              R"({"name":"d2s-icon ","value":"x"},{"value":"x"},{"name":"d2s-link-url"}]}])"),
                  kNothingFound, 1},
        ReplyCase{"FirstPlaceWithoutExtras", placesReply(R"([{"id":"a"},{"id":"b","extras":[]}])"), std::nullopt, 2},
        ReplyCase{"EmptyList", placesReply("[]"), std::nullopt, std::nullopt},
        ReplyCase{"NoData", FakeHttpReply::text(R"({"response":"OK"})"), std::nullopt, std::nullopt},
        ReplyCase{"Undecodable", FakeHttpReply::garbage(), std::nullopt, std::nullopt},
        ReplyCase{"MistypedPlace", placesReply(R"([{"extras":"d2s-message"}])"), std::nullopt, std::nullopt},
        ReplyCase{"FailedRequest", FakeHttpReply::noBody(), std::nullopt, std::nullopt},
        ReplyCase{"NoReplyAtAll", std::nullopt, std::nullopt, std::nullopt}),
    [](const auto& row) { return row.param.name; });

TEST_F(NearbyPlacesTest, SendsTheCoordinateInSixDecimalsToTheStoredUsersAddress) {
    storeRegisteredSession(*fakes.preferences);
    request(placesReply("[]"));

    const auto sent = nearbyRequests();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_NE(sent[0].url.find("/soa.api.user.find-places-nearby/user-1?"), std::string::npos) << sent[0].url;
    EXPECT_NE(sent[0].url.find("longitude=-3.250000&latitude=1.500000"), std::string::npos) << sent[0].url;
}

TEST_F(NearbyPlacesTest, CompletesWithNothingWhenNoRecordAddressesThePlatform) {
    request(placesReply(R"([{"extras":[]}])"));

    EXPECT_TRUE(nearbyRequests().empty());
    EXPECT_TRUE(notices.empty());
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_FALSE(answers[0]);
}

}  // namespace
}  // namespace fenk
