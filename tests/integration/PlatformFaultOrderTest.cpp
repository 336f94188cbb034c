// Fault orders as tests POST them: which replies they spoil, and what they refuse.
#include "tools/fenk-platform/FaultInjector.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fenk {
namespace {

constexpr std::string_view kUpdate = "/1.0/json/exec/soa.api.fenk/soa.api.user.location.update/u1";
constexpr std::string_view kInfo = "/1.0/json/exec/soa.api.fenk/soa.api.user.info/u1";
constexpr std::string_view kAuth = "/1.0/json/auth/user";

TEST(PlatformFaultOrder, SpoilsItsShareOfTheRepliesToItsPath) {
    const struct {
        std::vector<const char*> orders;
        std::vector<std::string_view> paths;
        std::string spoiled;  // a mark a reply: 'x' spoiled, '.' served
    } cases[] = {
        {{R"({"kind":"drop","count":2})"}, {kInfo, kUpdate, kInfo}, "xx."},
        {{R"({"kind":"drop","count":0,"every":2,"path":"/soa.api.user.location.update"})"},
         {kUpdate, kInfo, kUpdate, kUpdate, kUpdate, kUpdate},
         "..x.x."},
        {{R"({"kind":"drop","every":3})"}, {kInfo, kInfo, kInfo, kInfo}, "..x."},
        {{R"({"kind":"drop","path":"/soa.api.user"})", R"({"kind":"drop","path":"/soa.api.user.location"})"},
         {kInfo, kUpdate},
         ".."},
        {{R"({"kind":"drop","path":"/u1"})"}, {kAuth, kInfo}, ".x"},
        {{R"({"kind":"drop","path":"/auth/user"})"}, {kInfo, kAuth, kAuth}, ".x."},
        // A reply counts for the first order it matches, in arming order.
        {{R"({"kind":"drop","path":"/soa.api.user.info"})", R"({"kind":"drop"})"}, {kUpdate, kInfo, kInfo}, "xx."},
    };
    for (const auto& [orders, paths, spoiled] : cases) {
        SCOPED_TRACE(orders.front());
        FaultInjector faults;
        for (const char* json : orders) {
            std::string error;
            const std::optional<FaultOrder> order = parseFaultOrder(json, error);
            ASSERT_TRUE(order) << error;
            faults.arm(*order);
        }
        std::string marks;
        for (const std::string_view path : paths) marks += faults.take(path) ? 'x' : '.';
        EXPECT_EQ(marks, spoiled);
    }
}

TEST(PlatformFaultOrder, RefusesOrdersItCannotFollow) {
    for (const char* json : {R"({"kind":"drop","count":-1})", R"({"kind":"drop","every":0})",
                             R"({"kind":"drop","path":"soa.api.user.info"})", R"({"kind":"drop","path":"/"})",
                             R"({"kind":"drop","path":"/auth/user/"})"}) {
        std::string error;
        EXPECT_FALSE(parseFaultOrder(json, error)) << json;
        EXPECT_FALSE(error.empty()) << json;
    }
}

}  // namespace
}  // namespace fenk
