#include "FenkSDK/engagement/LocalNotice.h"

#include "FenkSDK/api/WellFormedUrl.h"
#include "adapters/fake/FakeEnvironment.h"
#include "support/ConsoleCapture.h"
#include "support/ImageHeaders.h"
#include "support/NoticeDoubles.h"

#include <gtest/gtest.h>

namespace fenk {
namespace {

using namespace std::chrono_literals;
using namespace std::string_view_literals;
using Text = std::optional<std::string>;

const std::string kPng = test::pngHeader(16, 16) + "rest of the image";
const std::string kIcon = "https://cdn.example/icon.png";

struct LocalNoticeTest : testing::Test {
    // Schedules the notice, and checks that it shows at `shownAt` and not a millisecond before.
    void scheduleAndWait(const Text& message, const Text& iconLink, const Text& link, Duration shownAt) {
        notice.scheduleLocalNotification(message, iconLink, link);
        fakes.dispatcher->advance(shownAt - 1ms);
        EXPECT_TRUE(notices->shown.empty());
        fakes.dispatcher->advance(1ms);
        ASSERT_EQ(notices->shown.size(), 1u);
    }

    FakeEnvironment fakes;
    std::shared_ptr<ShownNotices> notices = std::make_shared<ShownNotices>();
    LocalNotice notice{notices, fakes.http, fakes.dispatcher->mainQueue()};
    ConsoleCapture console;
};

struct ContentCase {
    const char* name;
    Text message, iconLink, link;
    std::string title;
    std::map<std::string, std::string> userInfo;
};
void PrintTo(const ContentCase& c, std::ostream* out) { *out << c.name; }

struct NoticeContents : LocalNoticeTest, testing::WithParamInterface<ContentCase> {};

TEST_P(NoticeContents, CarryTheLinkPayloadOnlyForAnOpenableLink) {
    const ContentCase& c = GetParam();
    fakes.http->setAutoReply([](const HttpRequest&) { return FakeHttpReply::text(kPng); });
    scheduleAndWait(c.message, c.iconLink, c.link, LocalNotice::kDelay);
    EXPECT_EQ(notices->shown.at(0).title, c.title);
    EXPECT_EQ(notices->shown.at(0).userInfo, c.userInfo);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NoticeContents,
    testing::Values(
        ContentCase{"AllAbsent", {}, {}, {}, "", {}},
        ContentCase{"MessageAndLinkWithoutIcon", "Sale", {}, "https://shop.example/a", "Sale",
                    {{"gType", "d2s-notification"},
                     {"d2s-link-url", "https://shop.example/a"},
                     {"d2s-message", "Sale"}}},
        ContentCase{"IconAndLinkWithoutMessage", {}, kIcon, "http://shop.example", "",
                    {{"gType", "d2s-notification"}, {"d2s-link-url", "http://shop.example"}, {"d2s-icon", kIcon}}},
        ContentCase{"ScriptLinkCarriesNothing", "Sale", {}, "javascript:alert(1)", "Sale", {}}),
    [](const auto& row) { return row.param.name; });

TEST_F(LocalNoticeTest, EachNoticeHasItsOwnIdentifierAndNoneWithoutANotificationService) {
    notice.scheduleLocalNotification("first", {}, {});
    notice.scheduleLocalNotification("second", {}, {});
    LocalNotice(nullptr, fakes.http, fakes.dispatcher->mainQueue()).scheduleLocalNotification("x", kIcon, {});
    fakes.dispatcher->advance(LocalNotice::kImageTimeout);

    EXPECT_TRUE(fakes.http->requests().empty());
    ASSERT_EQ(notices->shown.size(), 2u);
    EXPECT_EQ(notices->shown[0].identifier.size(), 36u);
    EXPECT_NE(notices->shown[0].identifier, notices->shown[1].identifier);
}

struct ImageCase {
    const char* name;
    std::string iconLink;
    FakeHttpReply reply;
    bool kept;
    std::string consoleLine;
    Duration shownAt = LocalNotice::kDelay;
    // Bytes added to the reply's body when the row runs: a body that large made with the rows would be made,
    // and copied, in every test process at start.
    std::size_t padding = 0;
};
void PrintTo(const ImageCase& c, std::ostream* out) { *out << c.name; }

FakeHttpReply after(Duration delay, FakeHttpReply reply) {
    reply.delay = delay;
    return reply;
}

struct NoticeImages : LocalNoticeTest, testing::WithParamInterface<ImageCase> {};

TEST_P(NoticeImages, KeepOnlyAWholeImageOfAKnownFormat) {
    const ImageCase& c = GetParam();
    FakeHttpReply reply = c.reply;
    if (reply.body) reply.body->resize(reply.body->size() + c.padding, 'x');
    fakes.http->setAutoReply([&](const HttpRequest&) { return reply; });
    scheduleAndWait("Sale", c.iconLink, {}, c.shownAt);

    const auto requests = fakes.http->requests();
    ASSERT_EQ(requests.size(), isWellFormedUrl(c.iconLink) ? 1u : 0u);
    EXPECT_TRUE(requests.empty() || requests[0].maxReplyBytes == LocalNotice::kMaxImageBytes);
    EXPECT_EQ(notices->shown.at(0).image, c.kept ? reply.body : std::nullopt);
    const auto lines = console.lines();
    ASSERT_EQ(lines.size(), c.consoleLine.empty() ? 0u : 1u);
    EXPECT_TRUE(lines.empty() || lines[0].starts_with(c.consoleLine)) << lines[0];
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NoticeImages,
    testing::Values(
        ImageCase{"PngKept", kIcon, FakeHttpReply::text(kPng), true, ""},
        ImageCase{"WebpKept", kIcon, FakeHttpReply::text(test::webpHeader(64, 64)), true, ""},
        ImageCase{"ImageTooLargeToDecodeDropped", kIcon, FakeHttpReply::text(test::pngHeader(50000, 50000)), false,
                  "Unable to load data: the image is too large"},
        ImageCase{"TextDropped", kIcon, FakeHttpReply::text("<html>"), false, "Unable to load data: not a PNG"},
        ImageCase{"RiffWithoutWebpDropped", kIcon, FakeHttpReply::text("RIFF\x10\0\0\0WAVE"sv), false,
                  "Unable to load data: not a PNG"},
        ImageCase{"OversizeDropped", kIcon, FakeHttpReply::text(kPng), false, "Unable to load data: ", LocalNotice::kDelay,
                  LocalNotice::kMaxImageBytes},
        ImageCase{"NotFoundDropped", kIcon, FakeHttpReply::text(kPng, 404), false,
                  "Unable to load data: HTTP status 404"},
        ImageCase{"FailedDownload", kIcon, FakeHttpReply::noBody("refused"), false, "Unable to load data: refused"},
        ImageCase{"FileLinkNeverFetched", "file:///etc/passwd", FakeHttpReply::text(kPng), false,
                  "Unable to load data: "},
        ImageCase{"LateImageHoldsNoticeBack", kIcon, after(20s, FakeHttpReply::text(kPng)), true, "", 20s},
        ImageCase{"TimedOutDownloadShowsNoticeAlone", kIcon, after(1min, FakeHttpReply::text(kPng)), false,
                  "Unable to load data: ", LocalNotice::kImageTimeout}),
    [](const auto& row) { return row.param.name; });

}  // namespace
}  // namespace fenk
