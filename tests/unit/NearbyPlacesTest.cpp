#include "FenkSDK/places/NearbyPlaces.h"

#include "adapters/fake/FakeEnvironment.h"
#include "support/RegisteredPlatform.h"
#include "support/ScriptedPlatform.h"

#include <gtest/gtest.h>

#include <tuple>

namespace fenk {
namespace {

using Text = std::optional<std::string>;
using NoticeArguments = std::tuple<Text, Text, Text>;
const NoticeArguments kNothingFound{};

struct Case {
    const char* name;
    FakeHttpReply reply;
    std::optional<NoticeArguments> notice;
    std::optional<std::size_t> placeCount;
    bool registered = true;
};
void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

FakeHttpReply placesReply(std::string_view data) {
    return FakeHttpReply::text(R"({"response":"OK","data":)" + std::string(data) + "}");
}

struct NearbyPlacesTest : testing::TestWithParam<Case> {};

TEST_P(NearbyPlacesTest, RaisesTheFirstPlacesNoticeAndCompletesOnce) {
    const Case& c = GetParam();
    FakeEnvironment fakes;
    if (c.registered) storeRegisteredSession(*fakes.preferences);
    fakes.http->setAutoReply(scriptedPlatform({{"find-places-nearby", c.reply}}));
    std::vector<NoticeArguments> notices;
    const NearbyPlaces places(fakes.preferences, PlatformTransport(fakes.http, fakes.dispatcher),
                              fakes.dispatcher->globalQueue(),
                              [&](const Text& message, const Text& icon, const Text& link) {
                                  notices.emplace_back(message, icon, link);
                              });

    std::vector<NearbyPlaces::Places> answers;
    places.requestNearbyPlaces(1.5, -3.25, [&](NearbyPlaces::Places answer) { answers.push_back(std::move(answer)); });
    fakes.dispatcher->advance(PlatformTransport::kRequestTimeout);

    EXPECT_EQ(notices, c.notice ? std::vector{*c.notice} : std::vector<NoticeArguments>{});
    ASSERT_EQ(answers.size(), 1u);
    ASSERT_EQ(answers[0].has_value(), c.placeCount.has_value());
    if (c.placeCount) {
        EXPECT_EQ(answers[0]->size(), *c.placeCount);
    }
    const auto sent = requestsTo(*fakes.http, "find-places-nearby");
    ASSERT_EQ(sent.size(), c.registered ? 1u : 0u);
    if (c.registered) {
        EXPECT_NE(sent[0].find("find-places-nearby/user-1?"), std::string::npos) << sent[0];
        EXPECT_NE(sent[0].find("longitude=-3.250000&latitude=1.500000"), std::string::npos) << sent[0];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NearbyPlacesTest,
    testing::Values(
        Case{"OnlySecondPlaceHasExtras",
             placesReply(R"([{"id":"a","extras":[]},{"id":"b","extras":[{"name":"d2s-message","value":"no"}]}])"),
             kNothingFound, 2},
        Case{"LaterExtraReplacesEarlier",
             placesReply(R"([{"extras":[{"name":"d2s-message","value":"one"},{"name":"d2s-icon","value":"i"},)"
                         R"({"name":"d2s-link-url","value":"l"},{"name":"d2s-message","value":"two"}]}])"),
             NoticeArguments{"two", "i", "l"}, 1},
        Case{"NamesMatchedExactly",
             placesReply(R"([{"extras":[{"name":"D2S-MESSAGE","value":"x"},{"name":" d2s-message","value":"x"},)"
                         R"({"name":"d2s-icon ","value":"x"},{"value":"x"},{"name":"d2s-link-url"}]}])"),
             kNothingFound, 1},
        Case{"FirstPlaceWithoutExtras", placesReply(R"([{"id":"a"},{"id":"b","extras":[]}])"), std::nullopt, 2},
        Case{"EmptyList", placesReply("[]"), std::nullopt, std::nullopt},
        Case{"NoData", FakeHttpReply::text(R"({"response":"OK"})"), std::nullopt, std::nullopt},
        Case{"Undecodable", FakeHttpReply::garbage(), std::nullopt, std::nullopt},
        Case{"FailedRequest", FakeHttpReply::noBody(), std::nullopt, std::nullopt},
        Case{"NoAuthenticationRecord", placesReply(R"([{"extras":[]}])"), std::nullopt, std::nullopt, false}),
    [](const auto& row) { return row.param.name; });

}  // namespace
}  // namespace fenk
