#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "FenkSDK/api/FG_Account.h"
#include "FenkSDK/api/FG_Authenticate.h"
#include "FenkSDK/json/RecordCodec.h"

namespace fenk {
namespace {

// Every kind of field the codec supports, with one required member.
struct Probe {
    std::string id{};
    std::optional<std::string> text{};
    std::optional<bool> flag{};
    std::optional<std::int32_t> small{};
    std::optional<std::int64_t> big{};
    std::optional<double> real{};
    std::optional<std::vector<std::string>> tags{};
    std::optional<std::vector<Probe>> children{};
    std::optional<std::map<std::string, FG_Extra>> named{};

    static constexpr auto jsonFields = std::tuple{
        json::field("id", &Probe::id),         json::field("text", &Probe::text),
        json::field("flag", &Probe::flag),     json::field("small", &Probe::small),
        json::field("big", &Probe::big),       json::field("real", &Probe::real),
        json::field("tags", &Probe::tags),     json::field("children", &Probe::children),
        json::field("named", &Probe::named)};
};

std::string nested(int depth) {
    std::string json;
    for (int i = 0; i < depth; ++i) json += R"({"id":"n","children":[)";
    json += R"({"id":"leaf"})";
    for (int i = 0; i < depth; ++i) json += "]}";
    return json;
}

TEST(RecordCodecTest, RejectsWhatDoesNotFitTheRecord) {
    const struct {
        std::string json;
        std::string reason;
    } cases[] = {
        {R"({"id":"a","text":5})", "at text: expected a string, found an integer"},
        {R"({"id":"a","flag":"true"})", "at flag: expected a boolean, found a string"},
        {R"({"id":"a","small":1.5})", "at small: expected an integer"},
        {R"({"id":"a","small":1.0})", "at small: expected an integer"},
        {R"({"id":"a","small":2147483648})", "at small: integer out of range"},
        {R"({"id":"a","big":9223372036854775808})", "at big: integer out of range"},
        {R"({"id":"a","real":"1.5"})", "at real: expected a number, found a string"},
        {R"({"text":"a"})", "missing required key \"id\""},
        {R"({"id":null})", "at id: required value is null"},
        {R"({"id":"a","tags":"x"})", "at tags: expected an array, found a string"},
        {R"({"id":"a","tags":["x",null]})", "at tags[1]: expected a string, found null"},
        {R"({"id":"a","children":[{"id":"b"},{"id":7}]})", "at children[1].id: expected a string"},
        {R"({"id":"a","children":[{"id":"b","children":[{}]}]})", "at children[0].children[0]: missing required key"},
        {R"({"id":"a","named":{"k":{"name":1}}})", "at named.k.name: expected a string"},
        {R"([])", "expected an object, found an array"},
        {R"(null)", "expected an object, found null"},
        {"", "malformed JSON"},
        {R"({"id":"a")", "malformed JSON"},
        {R"({"id":"a",})", "malformed JSON"},
        {R"({"id":"a"} {})", "malformed JSON"},
        {R"({'id':'a'})", "malformed JSON"},
        {R"({"id":"a","big":123456789012345678901234567890})", "malformed JSON"},
        {R"({"id":"a","real":1e400})", "malformed JSON"},
        {"{\"id\":\"\xff\"}", "malformed JSON"},
        {"{\"id\":\"\xc3\"}", "malformed JSON"},
        {nested(json::JsonDocument::maxDepth), "malformed JSON"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        std::string error;
        EXPECT_FALSE(json::decode<Probe>(c.json, &error));
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
}

TEST(RecordCodecTest, MissingNullAndUnknownKeysLeaveFieldsAbsent) {
    const auto probe = json::decode<Probe>(
        R"({"skip":{"id":"x","text":"inner","l":[1,[2,{"text":"deep"}],null]},"id":"a","text":null,"tail":[]})");
    ASSERT_TRUE(probe);
    EXPECT_EQ(probe->id, "a");
    EXPECT_FALSE(probe->text);
    EXPECT_FALSE(probe->flag);
    EXPECT_FALSE(probe->children);
    EXPECT_EQ(json::encode(*probe), R"({"id":"a"})");
}

TEST(RecordCodecTest, DecodesEveryFieldKind) {
    const auto probe = json::decode<Probe>(R"({
        "id": "caf\u00e9 \"q\"\n", "text": "last", "text": "wins", "flag": false,
        "small": -2147483648, "big": 1700000000000, "real": 3,
        "tags": [], "children": [{"id": "c", "big": -9223372036854775808}],
        "named": {"k": {"name": "n", "value": "v"}}})");
    ASSERT_TRUE(probe);
    EXPECT_EQ(probe->id, "caf\xc3\xa9 \"q\"\n");
    EXPECT_EQ(probe->text, "wins");
    EXPECT_EQ(probe->flag, false);
    EXPECT_EQ(probe->small, std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(probe->big, 1700000000000);
    EXPECT_EQ(probe->real, 3.0);
    EXPECT_EQ(probe->tags, std::vector<std::string>{});
    ASSERT_EQ(probe->children->size(), 1U);
    EXPECT_EQ(probe->children->front().big, std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(probe->named->at("k").value, "v");
}

TEST(RecordCodecTest, AcceptsNestingWithinTheLimit) {
    const auto probe = json::decode<Probe>(nested(json::JsonDocument::maxDepth / 2 - 2));
    ASSERT_TRUE(probe);
    EXPECT_EQ(probe->children->front().id, "n");
}

TEST(RecordCodecTest, DecodesListsAndMapsOfRecordsAtTheTop) {
    const auto list = json::decode<std::vector<FG_Extra>>(R"([{"name":"a"},{"value":"b"}])");
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), 2U);
    EXPECT_EQ((*list)[1].value, "b");
    EXPECT_FALSE(json::decode<std::vector<FG_Extra>>(R"([{"name":"a"},5])"));

    const auto map = json::decode<std::map<std::string, FG_Authenticate>>(R"({"x":{"token":"t"}})");
    ASSERT_TRUE(map);
    EXPECT_EQ(map->at("x").token, "t");
}

TEST(RecordCodecTest, EncodesScalarsExactly) {
    const struct {
        std::optional<std::string> encoded;
        std::string expected;
    } cases[] = {
        {json::encode(std::string("caf\xc3\xa9 \"\\/\b\f\n\r\t\x01\x1f")),
         R"("café \"\\/\b\f\n\r\t\u0001\u001f")"},
        {json::encode(std::int64_t{-9223372036854775807 - 1}), "-9223372036854775808"},
        {json::encode(0.1), "0.1"},
        {json::encode(1e300), "1e+300"},
        {json::encode(true), "true"},
        {json::encode(std::vector<std::string>{}), "[]"},
        {json::encode(std::vector<std::string>{"a", "b"}), R"(["a","b"])"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.encoded, c.expected);
}

TEST(RecordCodecTest, RefusesValuesJsonCannotHold) {
    EXPECT_FALSE(json::encode(std::nan("")));
    EXPECT_FALSE(json::encode(-std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(json::encode(FG_Extra{.name = "a", .value = "\xff"}));
    Probe probe{.id = "a", .children = std::vector<Probe>{{.id = "b", .real = std::nan("")}}};
    EXPECT_FALSE(json::encode(probe));
}

TEST(RecordCodecTest, AccountSurvivesARoundTrip) {
    const FG_Extra extra{.name = "carrier", .value = "x"};
    const FG_Account account{
        .resourceId = "r", .userName = "u\u00e9\"", .email = "e", .extra = std::vector{extra},
        .mobilePlatform = "linux", .mobileDeviceId = "d", .mobileDevice = "m", .mobileVersion = "v",
        .mobileToken = "t", .mobileAccessToken = "a", .mobileExtra = std::vector<FG_Extra>{},
        .layers = std::vector{FG_Layer{.name = "l", .extra = std::vector{FG_Extra{.name = "n"}}, .totalPlaces = "3"}}};
    const auto encoded = json::encode(account);
    ASSERT_TRUE(encoded);
    const auto decoded = json::decode<FG_Account>(*encoded);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(json::encode(*decoded), encoded);
    EXPECT_EQ(decoded->userName, account.userName);
    EXPECT_FALSE(decoded->layers->front().resourceId);
    EXPECT_FALSE(decoded->layers->front().extra->front().value);

    const auto sparse = json::encode(FG_Authenticate{.platform = "https://p", .version = "1.0"});
    EXPECT_EQ(sparse, R"({"platform":"https://p","version":"1.0"})");
}

TEST(RecordCodecTest, DoublesRoundTripExactly) {
    for (const double value : {0.1, -2.5e-308, 5e-324, 1.7976931348623157e308, 123456.789, 1.0 / 3}) {
        const auto decoded = json::decode<double>(*json::encode(value));
        ASSERT_TRUE(decoded);
        EXPECT_EQ(*decoded, value);
    }
}

}  // namespace
}  // namespace fenk
