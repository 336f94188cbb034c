// Fault orders as tests POST them: what they accept, and which replies they spoil.
#include "tools/fenk-platform/FaultInjector.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fenk {
namespace {

constexpr std::string_view kUpdate = "/1.0/json/exec/soa.api.fenk/soa.api.user.location.update/u1";
constexpr std::string_view kInfo = "/1.0/json/exec/soa.api.fenk/soa.api.user.info/u1";

TEST(PlatformFaultOrder, ParsesTheOldFormAndThePathLimitedShare) {
    const struct {
        const char* json;
        bool accepted;
        std::size_t count;
        std::size_t every;
        std::optional<std::string> path;
    } cases[] = {
        {R"({"kind":"drop"})", true, 1, 1, std::nullopt},
        {R"({"kind":"status","count":3,"status":503})", true, 3, 1, std::nullopt},
        {R"({"kind":"drop","count":0,"every":3,"path":"/soa.api.user.location.update"})", true, 0, 3,
         "/soa.api.user.location.update"},
        {R"({"kind":"drop","count":-1})", false, 0, 0, std::nullopt},
        {R"({"kind":"drop","every":0})", false, 0, 0, std::nullopt},
        {R"({"kind":"drop","path":"soa.api.user.info"})", false, 0, 0, std::nullopt},
        {R"({"kind":"drop","path":"/"})", false, 0, 0, std::nullopt},
        {R"({"kind":"drop","path":"/auth/user/"})", false, 0, 0, std::nullopt},
        {R"({"kind":"melt"})", false, 0, 0, std::nullopt},
    };
    for (const auto& [json, accepted, count, every, path] : cases) {
        SCOPED_TRACE(json);
        std::string error;
        const std::optional<FaultOrder> order = parseFaultOrder(json, error);
        ASSERT_EQ(order.has_value(), accepted) << error;
        if (!order) {
            EXPECT_FALSE(error.empty());
            continue;
        }
        EXPECT_EQ(order->count, count);
        EXPECT_EQ(order->every, every);
        EXPECT_EQ(order->path, path);
    }
}

TEST(PlatformFaultOrder, SpoilsOnlyItsShareOfTheMatchingReplies) {
    const FaultOrder everyOtherUpdate{.count = 0, .path = "/soa.api.user.location.update", .every = 2};
    const struct {
        const char* name;
        std::vector<FaultOrder> orders;
        std::vector<std::string_view> paths;
        std::string spoiled;  // one mark a reply: 'x' spoiled, '.' served
    } cases[] = {
        {"next two replies, whatever their path", {{.count = 2}}, {kInfo, kUpdate, kInfo}, "xx."},
        {"every other update, until cleared", {everyOtherUpdate}, {kUpdate, kInfo, kUpdate, kUpdate, kUpdate, kUpdate},
         "..x.x."},
        {"only whole segments match", {{.path = "/soa.api.user"}, {.path = "/soa.api.user.location"}}, {kInfo, kUpdate},
         ".."},
        {"the last segment counts", {{.path = "/u1"}}, {kInfo}, "x"},
        {"the auth path", {{.path = "/auth/user"}}, {kInfo, "/1.0/json/auth/user", "/1.0/json/auth/user"}, ".x."},
        {"every third of three", {{.count = 1, .every = 3}}, {kInfo, kInfo, kInfo, kInfo}, "..x."},
        {"orders take turns in arming order", {{.path = "/soa.api.user.info"}, {.count = 1}}, {kUpdate, kInfo, kInfo},
         "xx."},
    };
    for (const auto& [name, orders, paths, spoiled] : cases) {
        SCOPED_TRACE(name);
        FaultInjector faults;
        for (const FaultOrder& order : orders) faults.arm(order);
        std::string marks;
        for (const std::string_view path : paths) marks += faults.take(path) ? 'x' : '.';
        EXPECT_EQ(marks, spoiled);
    }
}

}  // namespace
}  // namespace fenk
