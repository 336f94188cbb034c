#include "FenkSDK/engagement/NoticeLink.h"

#include "adapters/fake/FakeDispatcher.h"
#include "support/NoticeDoubles.h"

#include <gtest/gtest.h>

namespace fenk {
namespace {

struct Case {
    const char* name;
    UserInfo payload;
    bool handled;
    std::vector<std::string> opened;
};
void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

// A notice's user information with this link, as the host forwards it when the notice is opened.
UserInfo openedNotice(std::string link) {
    return asPayload({{"gType", "d2s-notification"}, {"d2s-link-url", std::move(link)}, {"d2s-message", "Sale"}});
}

struct NoticeLinkTest : testing::TestWithParam<Case> {};

TEST_P(NoticeLinkTest, OpensOnlyWebLinksOfLinkPayloads) {
    const Case& c = GetParam();
    const auto dispatcher = std::make_shared<FakeDispatcher>();
    const auto pages = std::make_shared<OpenedPages>();
    const NoticeLink link(pages, dispatcher->mainQueue());

    EXPECT_EQ(link.openIfLinkPayload(c.payload), c.handled);
    dispatcher->runUntilIdle();
    EXPECT_EQ(pages->opened, c.opened);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NoticeLinkTest,
    testing::Values(
        Case{"Https", openedNotice("https://shop.example/a?b=c"), true, {"https://shop.example/a?b=c"}},
        Case{"Http", openedNotice("http://shop.example"), true, {"http://shop.example"}},
        Case{"Script", openedNotice("javascript:alert(1)"), true, {}},
        Case{"File", openedNotice("file:///etc/passwd"), true, {}},
        Case{"NoHost", openedNotice("https://"), true, {}},
        Case{"LinkNotText", {{"gType", std::string("d2s-notification")}, {"d2s-link-url", 42}}, true, {}},
        Case{"NoLink", asPayload({{"gType", "d2s-notification"}}), true, {}},
        Case{"OtherType", asPayload({{"gType", "image"}, {"d2s-link-url", "https://shop.example"}}), false, {}},
        Case{"TypeNotText", {{"gType", 1}, {"d2s-link-url", std::string("https://shop.example")}}, false, {}},
        Case{"Empty", {}, false, {}}),
    [](const auto& row) { return row.param.name; });

}  // namespace
}  // namespace fenk
