#include "FenkSDK/engagement/RedirectLink.h"

#include "FenkSDK/UserDefault.h"
#include "adapters/fake/MemoryPreferences.h"

#include <gtest/gtest.h>

namespace fenk {
namespace {

using Text = std::optional<std::string>;

struct RedirectCase {
    const char* name;
    Text target, resourceId, advertisingId;
    std::string link;
};
void PrintTo(const RedirectCase& c, std::ostream* out) { *out << c.name; }

struct RedirectLinks : testing::TestWithParam<RedirectCase> {};

TEST_P(RedirectLinks, CarryTheTrackingParametersInsideTheTargetsQuery) {
    const RedirectCase& c = GetParam();
    MemoryPreferences preferences;
    preferences.setString(settingsKeys::kKeyResourceId, c.resourceId);
    preferences.setString(settingsKeys::kKeyAdidFenk, c.advertisingId);
    EXPECT_EQ(redirectLink(c.target, preferences), c.link);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RedirectLinks,
    testing::Values(
        RedirectCase{"PlainTarget", "https://shop.example/sale", "r1", "ad-9",
                     "https://shop.example/sale?isAdvertising=true&resourceId=r1&adId=ad-9"},
        RedirectCase{"NoTargetNorIdsIsTheBareSuffix", {}, {}, {}, "?isAdvertising=true&resourceId=&adId="},
        RedirectCase{"TargetWithQueryJoinsIt", "https://shop.example/p?id=4", "r1", "ad",
                     "https://shop.example/p?id=4&isAdvertising=true&resourceId=r1&adId=ad"},
        RedirectCase{"TargetEndingItsQueryOpenJoinsWithoutSeparator", "https://shop.example/p?", "r1", "ad",
                     "https://shop.example/p?isAdvertising=true&resourceId=r1&adId=ad"},
        RedirectCase{"FragmentStaysLast", "https://shop.example/p?id=4#offers", "r1", "ad",
                     "https://shop.example/p?id=4&isAdvertising=true&resourceId=r1&adId=ad#offers"},
        RedirectCase{"QuestionMarkInFragmentIsNoQuery", "https://shop.example/p#a?b", "r1", "ad",
                     "https://shop.example/p?isAdvertising=true&resourceId=r1&adId=ad#a?b"},
        RedirectCase{"StoredValuesCannotAddParameters", "https://shop.example", "r 1&x=2", "a#d=é",
                     "https://shop.example?isAdvertising=true&resourceId=r%201%26x%3D2&adId=a%23d%3D%C3%A9"}),
    [](const auto& row) { return row.param.name; });

}  // namespace
}  // namespace fenk
