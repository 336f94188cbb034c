#include <gtest/gtest.h>
#include <malloc.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "FenkSDK/api/FG_Account.h"
#include "FenkSDK/api/FG_Authenticate.h"
#include "FenkSDK/json/JsonDocument.h"
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
        {R"(null)", "expected an object, found null"},
        {"", "malformed JSON"},
        {R"({"id":"a"} {})", "malformed JSON"},
        {R"({"id":"a","big":123456789012345678901234567890})", "malformed JSON"},
        {R"({"id":"a","real":1e400})", "malformed JSON"},
        {"{\"id\":\"\xff\"}", "malformed JSON"},
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
    EXPECT_EQ(json::encode(*probe), R"({"id":"a"})");
}

// Decoded and written back in declaration order, every kind of field keeps its value.
TEST(RecordCodecTest, DecodesAndEncodesEveryFieldKind) {
    const auto probe = json::decode<Probe>(R"({
        "id": "caf\u00e9 \"q\"\n", "text": "last", "text": "wins", "flag": false,
        "small": -2147483648, "big": 1700000000000, "real": 3,
        "tags": [], "children": [{"id": "c", "big": -9223372036854775808}],
        "named": {"k": {"name": "n", "value": "v"}}})");
    ASSERT_TRUE(probe);
    EXPECT_EQ(json::encode(*probe),
              R"({"id":"café \"q\"\n","text":"wins","flag":false,"small":-2147483648,"big":1700000000000,)"
              R"("real":3,"tags":[],"children":[{"id":"c","big":-9223372036854775808}],)"
              R"("named":{"k":{"name":"n","value":"v"}}})");
}

TEST(RecordCodecTest, AcceptsNestingWithinTheLimit) {
    const auto probe = json::decode<Probe>(nested(json::JsonDocument::maxDepth / 2 - 2));
    ASSERT_TRUE(probe);
    EXPECT_EQ(probe->children->front().id, "n");
}

TEST(RecordCodecTest, DecodesListsAndMapsOfRecordsAtTheTop) {
    const auto list = json::decode<std::vector<FG_Extra>>(R"([{"name":"a"},{"value":"b"}])");
    ASSERT_TRUE(list);
    EXPECT_EQ(json::encode(*list), R"([{"name":"a"},{"value":"b"}])");
    EXPECT_FALSE(json::decode<std::vector<FG_Extra>>(R"([{"name":"a"},5])"));

    const auto map = json::decode<std::map<std::string, FG_Authenticate>>(R"({"x":{"token":"t"}})");
    ASSERT_TRUE(map);
    EXPECT_EQ(map->at("x").token, "t");
}

// Exact text for what JSON can hold; nothing at all when any part of the value cannot be written.
TEST(RecordCodecTest, EncodesScalarsExactlyAndRefusesWhatJsonCannotHold) {
    const struct {
        std::optional<std::string> encoded;
        std::optional<std::string> expected;
    } cases[] = {
        {json::encode(std::string("caf\xc3\xa9 \"\\/\b\f\n\r\t\x01\x1f")),
         R"("café \"\\/\b\f\n\r\t\u0001\u001f")"},
        {json::encode(std::int64_t{-9223372036854775807 - 1}), "-9223372036854775808"},
        {json::encode(0.1), "0.1"},
        {json::encode(1.0 / 3), "0.3333333333333333"},
        {json::encode(5e-324), "5e-324"},
        {json::encode(1e300), "1e+300"},
        // Past the 64-bit integers a whole number keeps its exponent: the reader refuses longer integers.
        {json::encode(18446744073709551616.0), "1.8446744073709552e+19"},
        {json::encode(-9223372036854775808.0), "-9223372036854775808"},
        {json::encode(-11844674407370955e3), "-1.1844674407370955e+19"},
        {json::encode(true), "true"},
        {json::encode(std::vector<std::string>{}), "[]"},
        {json::encode(std::vector<std::string>{"a", "b"}), R"(["a","b"])"},
        {json::encode(std::nan("")), std::nullopt},
        {json::encode(-std::numeric_limits<double>::infinity()), std::nullopt},
        {json::encode(FG_Extra{.name = "a", .value = "\xff"}), std::nullopt},
        {json::encode(Probe{.id = "a", .children = std::vector<Probe>{{.id = "b", .real = std::nan("")}}}),
         std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(c.encoded, c.expected);
}

// With every field set, a key listed twice in the record's fields would lose a value here.
TEST(RecordCodecTest, AccountSurvivesARoundTrip) {
    const FG_Account account{
        .resourceId = "r", .userName = "u", .email = "e", .extra = std::vector{FG_Extra{.name = "carrier"}},
        .mobilePlatform = "linux", .mobileDeviceId = "d", .mobileDevice = "m", .mobileVersion = "v",
        .mobileToken = "t", .mobileAccessToken = "a", .mobileExtra = std::vector<FG_Extra>{},
        .layers = std::vector{FG_Layer{.name = "l", .totalPlaces = "3"}}};
    const auto encoded = json::encode(account);
    ASSERT_TRUE(encoded);
    const auto decoded = json::decode<FG_Account>(*encoded);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(json::encode(*decoded), encoded);
}

// Bytes the allocator has handed out and not had back, across all threads.
std::size_t heapInUse() {
    const struct mallinfo2 info = ::mallinfo2();
    return info.uordblks + info.hblkhd;
}

// Every thread that ever read one large reply would otherwise hold buffers the size of it for good.
TEST(RecordCodecTest, ALargeDocumentLeavesNoBufferSizedForItBehind) {
    constexpr std::size_t kMiB = 1024 * 1024;
    {
        const std::vector<char> probe(4 * kMiB, 'p');
        if (heapInUse() < probe.size()) GTEST_SKIP() << "this allocator does not report what it holds";
    }
    std::string large = "[";
    while (large.size() < 4 * kMiB) large += R"({"id":"x","tags":["a","b"]},)";
    large.back() = ']';

    std::size_t before = 0;
    std::size_t after = 0;
    std::jthread([&] {  // a thread of its own: one whose buffers have never grown
        std::string error;
        ASSERT_TRUE(json::JsonDocument::parse("[1]", error)) << error;
        before = heapInUse();
        ASSERT_TRUE(json::JsonDocument::parse(large, error)) << error;
        after = heapInUse();
    }).join();
    EXPECT_LT(after, before + kMiB) << "kept " << (after - before) / kMiB << " MiB";
}

}  // namespace
}  // namespace fenk
