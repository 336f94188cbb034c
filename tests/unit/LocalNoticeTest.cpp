#include "FenkSDK/engagement/LocalNotice.h"

#include "adapters/fake/FakeEnvironment.h"
#include "support/ConsoleCapture.h"
#include "support/NoticeDoubles.h"

#include <gtest/gtest.h>

namespace fenk {
namespace {

using namespace std::chrono_literals;
using namespace std::string_view_literals;
using Text = std::optional<std::string>;
using UserInfoMap = std::map<std::string, std::string>;

const std::string kPng = "\x89PNG\r\n\x1A\nrest of the image";
const std::string kIcon = "https://cdn.example/icon.png";

struct LocalNoticeTest : testing::Test {
    FakeEnvironment fakes;
    std::shared_ptr<ShownNotices> notices = std::make_shared<ShownNotices>();
    LocalNotice notice{notices, fakes.http, fakes.dispatcher->mainQueue()};
    ConsoleCapture console;
};

struct ContentCase {
    const char* name;
    Text message, iconLink, link;
    std::string title;
    UserInfoMap userInfo;
};
void PrintTo(const ContentCase& c, std::ostream* out) { *out << c.name; }

struct NoticeContents : LocalNoticeTest, testing::WithParamInterface<ContentCase> {};

TEST_P(NoticeContents, CarryTheLinkPayloadOnlyForAnOpenableLink) {
    const ContentCase& c = GetParam();
    fakes.http->setAutoReply([](const HttpRequest&) { return FakeHttpReply::text(kPng); });
    notice.scheduleLocalNotification(c.message, c.iconLink, c.link);
    fakes.dispatcher->advance(LocalNotice::kDelay);

    ASSERT_EQ(notices->shown.size(), 1u);
    EXPECT_EQ(notices->shown[0].title, c.title);
    EXPECT_EQ(notices->shown[0].userInfo, c.userInfo);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NoticeContents,
    testing::Values(
        ContentCase{"AllAbsent", {}, {}, {}, "", {}},
        ContentCase{"MessageAndLinkWithoutIcon", "Sale", {}, "https://shop.example/a", "Sale",
                    {{"gType", "d2s-notification"}, {"d2s-link-url", "https://shop.example/a"}, {"d2s-message", "Sale"}}},
        ContentCase{"IconAndLinkWithoutMessage", {}, kIcon, "http://shop.example", "",
                    {{"gType", "d2s-notification"}, {"d2s-link-url", "http://shop.example"}, {"d2s-icon", kIcon}}},
        ContentCase{"ScriptLinkCarriesNothing", "Sale", {}, "javascript:alert(1)", "Sale", {}},
        ContentCase{"LinkWithoutHostCarriesNothing", "Sale", {}, "https://", "Sale", {}}),
    [](const auto& row) { return row.param.name; });

TEST_F(LocalNoticeTest, AppearsFifteenSecondsAfterSchedulingUnderANewIdentifier) {
    notice.scheduleLocalNotification("first", {}, {});
    notice.scheduleLocalNotification("second", {}, {});
    fakes.dispatcher->advance(LocalNotice::kDelay - 1ms);
    EXPECT_TRUE(notices->shown.empty());

    fakes.dispatcher->advance(1ms);
    ASSERT_EQ(notices->shown.size(), 2u);
    EXPECT_EQ(notices->shown[0].identifier.size(), 36u);
    EXPECT_NE(notices->shown[0].identifier, notices->shown[1].identifier);
}

TEST_F(LocalNoticeTest, NothingHappensWithoutANotificationService) {
    LocalNotice silent(nullptr, fakes.http, fakes.dispatcher->mainQueue());
    silent.scheduleLocalNotification("Sale", kIcon, "https://shop.example");
    fakes.dispatcher->advance(LocalNotice::kDelay);
    EXPECT_TRUE(fakes.http->requests().empty());
    EXPECT_EQ(fakes.dispatcher->pendingTasks(), 0u);
}

struct ImageCase {
    const char* name;
    std::string iconLink;
    FakeHttpReply reply;
    bool requested;
    bool kept;
    std::string consoleLine;
};
void PrintTo(const ImageCase& c, std::ostream* out) { *out << c.name; }

struct NoticeImages : LocalNoticeTest, testing::WithParamInterface<ImageCase> {};

TEST_P(NoticeImages, KeepOnlyAWholeImageOfAKnownFormat) {
    const ImageCase& c = GetParam();
    fakes.http->setAutoReply([&](const HttpRequest&) { return c.reply; });
    notice.scheduleLocalNotification("Sale", c.iconLink, {});
    fakes.dispatcher->advance(LocalNotice::kDelay);

    const auto requests = fakes.http->requests();
    ASSERT_EQ(requests.size(), c.requested ? 1u : 0u);
    if (c.requested) {
        EXPECT_EQ(requests[0].maxReplyBytes, LocalNotice::kMaxImageBytes);
    }
    ASSERT_EQ(notices->shown.size(), 1u);
    EXPECT_EQ(notices->shown[0].image.has_value(), c.kept);
    if (c.kept) {
        EXPECT_EQ(*notices->shown[0].image, *c.reply.body);
    }
    const auto lines = console.lines();
    if (c.consoleLine.empty()) {
        EXPECT_TRUE(lines.empty());
    } else {
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].rfind(c.consoleLine, 0), 0u) << lines[0];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NoticeImages,
    testing::Values(
        ImageCase{"PngKept", kIcon, FakeHttpReply::text(kPng), true, true, ""},
        ImageCase{"WebpKept", kIcon, FakeHttpReply::text("RIFF\x10\0\0\0WEBPVP8 "sv), true, true, ""},
        ImageCase{"JpegKept", kIcon, FakeHttpReply::text("\xFF\xD8\xFF\xE0 jfif"), true, true, ""},
        ImageCase{"TextDropped", kIcon, FakeHttpReply::text("<html>not an image</html>"), true, false,
                  "Unable to load data: not a PNG"},
        ImageCase{"RiffWithoutWebpDropped", kIcon, FakeHttpReply::text("RIFF\x10\0\0\0WAVE"sv), true, false,
                  "Unable to load data: not a PNG"},
        ImageCase{"OversizeDropped", kIcon, FakeHttpReply::text(kPng + std::string(LocalNotice::kMaxImageBytes, 'x')),
                  true, false, "Unable to load data: "},
        ImageCase{"NotFoundDropped", kIcon, FakeHttpReply::text(kPng, 404), true, false,
                  "Unable to load data: HTTP status 404"},
        ImageCase{"FailedDownload", kIcon, FakeHttpReply::noBody("connection refused"), true, false,
                  "Unable to load data: connection refused"},
        ImageCase{"FileLinkNeverFetched", "file:///etc/passwd", FakeHttpReply::text(kPng), false, false,
                  "Unable to load data: "}),
    [](const auto& row) { return row.param.name; });

struct LateCase {
    const char* name;
    Duration quietFor;
    std::optional<FakeHttpReply> answerThen;  // none: the download times out
    bool kept;
};
void PrintTo(const LateCase& c, std::ostream* out) { *out << c.name; }

struct LateImages : LocalNoticeTest, testing::WithParamInterface<LateCase> {};

TEST_P(LateImages, HoldTheNoticeBackUntilTheDownloadEnds) {
    const LateCase& c = GetParam();
    notice.scheduleLocalNotification("Sale", kIcon, {});
    fakes.dispatcher->advance(c.quietFor);
    EXPECT_TRUE(notices->shown.empty());

    if (c.answerThen) fakes.http->reply(*c.answerThen);
    fakes.dispatcher->advance(1ms);
    ASSERT_EQ(notices->shown.size(), 1u);
    EXPECT_EQ(notices->shown[0].image.has_value(), c.kept);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LateImages,
    testing::Values(LateCase{"AnsweredAt20s", 20s, FakeHttpReply::text(kPng), true},
                    LateCase{"TimesOutAt30s", LocalNotice::kImageTimeout - 1ms, std::nullopt, false}),
    [](const auto& row) { return row.param.name; });

}  // namespace
}  // namespace fenk
