#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "FenkSDK/api/FG_AuthenticateBean.h"
#include "FenkSDK/api/FG_Device.h"
#include "FenkSDK/api/FG_GroupData.h"
#include "FenkSDK/api/FG_MobileData.h"
#include "FenkSDK/api/FG_Node.h"
#include "FenkSDK/api/FG_Place.h"
#include "FenkSDK/api/FG_UserProfile.h"
#include "FenkSDK/api/ParametersOut.h"

namespace fenk {
namespace {

template <class T>
bool decodes(std::string_view json) {
    return json::decode<T>(json).has_value();
}

// Only three fields are JSON numbers; every other number-like value must arrive as text.
TEST(WireRecordsTest, DecodesOnlyTheDeclaredJsonTypes) {
    const struct {
        bool (*decode)(std::string_view);
        std::string_view json;
        bool accepted;
    } cases[] = {
        {decodes<FG_Node>, R"({"size":4096,"isDir":1})", true},
        {decodes<FG_Node>, R"({"size":"4096"})", false},
        {decodes<FG_Node>, R"({"isDir":"1"})", false},
        {decodes<FG_Node>, R"({"isDir":true})", false},
        {decodes<FG_Device>, R"({"lastUpdateTimestamp":1700000000000})", true},
        {decodes<FG_Device>, R"({"lastUpdateTimestamp":"1700000000000"})", false},
        {decodes<FG_Device>, R"({"lastUpdateTimestamp":1.7e12})", false},
        {decodes<FG_Device>, R"({"account":{"layers":[{"totalPlaces":3}]}})", false},
        {decodes<FG_Place>, R"({"latitude":"40.41","radius":"150"})", true},
        {decodes<FG_Place>, R"({"latitude":40.41})", false},
        {decodes<FG_Place>, R"({"events":[{"from":9}]})", false},
        {decodes<ParametersOut<FG_UserProfile>>, R"({"data":{"userHabits":[{"name":"run","level":"2"}]}})", true},
        {decodes<ParametersOut<FG_UserProfile>>, R"({"response":"OK","data":{"userHabits":[{"name":"run"}]}})",
         false},
        {decodes<ParametersOut<std::vector<FG_GroupData>>>, R"({"paging":{"items":10}})", false},
        {decodes<FG_AuthenticateBean>, R"({"response":"OK","authenticate":{"token":7}})", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        EXPECT_EQ(c.decode(c.json), c.accepted);
    }
}

TEST(WireRecordsTest, GroupDescriptionTravelsUnderItsEnglishKey) {
    const auto group = json::decode<FG_GroupData>(R"({"descripcion":"ignored","description":"d"})");
    ASSERT_TRUE(group);
    EXPECT_EQ(group->descripcion, "d");
    EXPECT_EQ(json::encode(*group), R"({"description":"d"})");
}

TEST(WireRecordsTest, NodesNestAndSurviveARoundTrip) {
    const std::string tree =
        R"({"name":"root","isDir":1,"contents":[{"name":"docs","isDir":1,"contents":[{"name":"a.txt","size":12}]},)"
        R"({"name":"empty","isDir":1,"contents":[]}]})";
    const auto root = json::decode<FG_Node>(tree);
    ASSERT_TRUE(root);
    EXPECT_EQ(root->contents->at(0).contents->at(0).size, 12);
    EXPECT_EQ(json::encode(*root), tree);
}

TEST(WireRecordsTest, OnlyTheAnonymousCreationReplyCarriesATicket) {
    const std::string reply =
        R"({"response":"OK","type":"t","ticket":"k","paging":{"offset":"0"},"data":{"resourceId":"r","token":"a"}})";
    const auto withTicket = json::decode<ParametersOutWithTicket<FG_MobileData>>(reply);
    ASSERT_TRUE(withTicket);
    EXPECT_EQ(withTicket->ticket, "k");
    EXPECT_EQ(json::encode(*withTicket), reply);

    const auto plain = json::decode<ParametersOut<FG_MobileData>>(reply);
    ASSERT_TRUE(plain);
    EXPECT_EQ(json::encode(*plain),
              R"({"response":"OK","type":"t","paging":{"offset":"0"},"data":{"resourceId":"r","token":"a"}})");
}

TEST(WireRecordsTest, EmptyReplyGivesAnEnvelopeWithEverythingAbsent) {
    const auto reply = json::decode<ParametersOutWithTicket<std::vector<FG_GroupData>>>("{}");
    ASSERT_TRUE(reply);
    EXPECT_EQ(json::encode(*reply), "{}");
    EXPECT_FALSE(json::decode<ParametersOut<FG_MobileData>>("[]"));
}

}  // namespace
}  // namespace fenk
