#include "FenkSDK/places/UserLocationCheck.h"

#include "adapters/fake/FakeEnvironment.h"
#include "support/RegisteredPlatform.h"
#include "support/ScriptedPlatform.h"

#include <gtest/gtest.h>

namespace fenk {
namespace {

using Names = std::map<std::string, std::string>;

struct Case {
    const char* name;
    FakeHttpReply reply;
    std::optional<Names> expected;
    bool positionStored = true;
    SystemVersionLevel version{17, 0};
    bool registered = true;
};
void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

struct UserLocationCheckTest : testing::TestWithParam<Case> {};

TEST_P(UserLocationCheckTest, AnswersThePlaceNamesOfTheLastStoredPosition) {
    const Case& c = GetParam();
    FakeEnvironment fakes;
    if (c.registered) storeRegisteredSession(*fakes.preferences);
    fakes.device->setSystemVersionLevel(c.version);
    fakes.http->setAutoReply(scriptedPlatform({{"tracking-info", c.reply}}));
    const UserLocationCheck check(fakes.preferences, PlatformTransport(fakes.http, fakes.dispatcher), fakes.device,
                                  fakes.dispatcher->globalQueue(), [&]() -> std::optional<StoredLocation> {
                                      if (!c.positionStored) return std::nullopt;
                                      return StoredLocation{.latitude = 40.4, .longitude = -3.7};
                                  });

    std::vector<std::optional<Names>> answers;
    check.checkUserLocation([&](std::optional<Names> names) { answers.push_back(std::move(names)); });
    fakes.dispatcher->advance(PlatformTransport::kRequestTimeout);

    EXPECT_EQ(answers, std::vector{c.expected});
    const auto sent = requestsTo(*fakes.http, "tracking-info");
    const bool asksPlatform = c.registered && c.positionStored && c.version >= SystemVersionLevel{11, 0};
    ASSERT_EQ(sent.size(), asksPlatform ? 1u : 0u);
    if (asksPlatform) {
        EXPECT_NE(sent[0].find("longitude=-3.700000&latitude=40.400000"), std::string::npos) << sent[0];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, UserLocationCheckTest,
    testing::Values(
        Case{"CountryOnly", FakeHttpReply::text(R"({"response":"OK","data":{"country":"ES"}})"),
             Names{{"country", "ES"}}},
        Case{"EmptyCityKept", FakeHttpReply::text(R"({"response":"OK","data":{"city":"","siteId":"7"}})"),
             Names{{"city", ""}}},
        Case{"NoDataGivesEmptyMap", FakeHttpReply::text(R"({"response":"OK"})"), Names{}},
        Case{"ErrorWithDataGivesNames", FakeHttpReply::text(R"({"response":"ERROR","data":{"region":"MD"}})"),
             Names{{"region", "MD"}}},
        Case{"Undecodable", FakeHttpReply::garbage(), std::nullopt},
        Case{"FailedRequest", FakeHttpReply::noBody(), std::nullopt},
        Case{"NoStoredPosition", FakeHttpReply::text(R"({"data":{"country":"ES"}})"), std::nullopt, false},
        Case{"OldSystemAnswersEmptyNames", FakeHttpReply::text(R"({"data":{"country":"ES"}})"),
             Names{{"city", ""}, {"region", ""}, {"country", ""}}, true, {10, 3}},
        Case{"NoAuthenticationRecord", FakeHttpReply::text(R"({"data":{"country":"ES"}})"), std::nullopt, true,
             {17, 0}, false}),
    [](const auto& row) { return row.param.name; });

}  // namespace
}  // namespace fenk
