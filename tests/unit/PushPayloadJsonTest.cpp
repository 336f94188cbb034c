#include "FenkSDK/engagement/PushPayloadJson.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace fenk {
namespace {

// A payload whose "aps" block holds `levels` - 1 more objects, each inside the last: `levels` in all.
UserInfo nested(std::size_t levels) {
    UserInfo innermost{{"body", std::string("deep")}};
    for (std::size_t level = 2; level < levels; ++level) innermost = UserInfo{{"inner", innermost}};
    return {{"gType", std::string("text")}, {"aps", innermost}};
}

std::string nestedJson(std::size_t levels) { return std::string(levels, '[') + std::string(levels, ']'); }

struct Opaque {};

TEST(PushPayloadJsonTest, ConversionRefusesWhatIsNotJson) {
    const struct {
        const char* name;
        UserInfo payload;
        bool accepted;
    } cases[] = {
        {"plain values",
         {{"gType", "text"}, {"n", 7L}, {"u", 7U}, {"flag", true}, {"none", nullptr}, {"list", std::vector<std::any>{1.5F}}},
         true},
        {"32 levels", nested(32), true},
        {"33 levels", nested(33), false},
        {"NaN", {{"gType", std::numeric_limits<double>::quiet_NaN()}}, false},
        {"infinity", {{"gType", -std::numeric_limits<float>::infinity()}}, false},
        {"bad UTF-8 value", {{"gType", std::string("\xC3\x28")}}, false},
        {"bad UTF-8 key", {{std::string("\xFF"), 1}}, false},
        {"unknown type", {{"gType", Opaque{}}}, false},
        {"unknown type in a list", {{"list", std::vector<std::any>{Opaque{}}}}, false},
        {"null text pointer", {{"gType", static_cast<const char*>(nullptr)}}, false},
        {"over 64 KiB", {{"gSource", std::string(kMaxPushPayloadBytes, 'a')}}, false},
    };
    for (const auto& c : cases) EXPECT_EQ(pushPayloadJson(c.payload).has_value(), c.accepted) << c.name;
}

TEST(PushPayloadJsonTest, TextIsReadOnlyWhenItIsAnObjectWithinTheLimits) {
    const struct {
        const char* name;
        std::string json;
        bool accepted;
    } cases[] = {
        {"object", R"({"gType":"text","aps":{"content-available":1}})", true},
        {"32 levels", "{\"a\":" + nestedJson(31) + "}", true},
        {"33 levels", "{\"a\":" + nestedJson(32) + "}", false},
        {"array", "[]", false},
        {"number", "1", false},
        {"broken", R"({"gType":)", false},
        {"bad UTF-8", "{\"gType\":\"\xC3\x28\"}", false},
        {"over 64 KiB", R"({"gSource":")" + std::string(kMaxPushPayloadBytes, 'a') + "\"}", false},
    };
    for (const auto& c : cases) {
        std::string error;
        const auto payload = pushPayloadFromJson(c.json, error);
        EXPECT_EQ(payload.has_value(), c.accepted) << c.name;
        EXPECT_EQ(error.empty(), c.accepted) << c.name << ": " << error;
    }
}

}  // namespace
}  // namespace fenk
