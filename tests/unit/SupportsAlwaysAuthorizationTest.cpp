#include "FenkSDK/location/SupportsAlwaysAuthorization.h"

#include <gtest/gtest.h>

namespace fenk {
namespace {

TEST(SupportsAlwaysAuthorizationTest, OnlyOneWholeNumberOfEightOrMoreQualifies) {
    const struct {
        const char* version;
        bool supported;
    } cases[] = {{"9.3", true},     {"8", true},     {"8.0", true},  {"17.0", true}, {"7.1", false},
                 {"11.0.1", false}, {"", false},     {"abc", false}, {"9.3 ", false}, {"inf", false},
                 {"nan", false},    {"-9", false}};
    for (const auto& c : cases) EXPECT_EQ(supportsAlwaysAuthorization(c.version), c.supported) << '"' << c.version << '"';
}

}  // namespace
}  // namespace fenk
