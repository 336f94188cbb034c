#include "FenkSDK/engagement/VideoPage.h"

#include "adapters/fake/FakeDispatcher.h"
#include "adapters/fake/FakeHttp.h"
#include "support/ConsoleCapture.h"

#include <gtest/gtest.h>

namespace fenk {
namespace {

using Text = std::optional<std::string>;

const std::string kLink = "https://video.example/watch?v=Ab1";

struct PageCase {
    const char* name;
    std::string link;
    FakeHttpReply reply;
    Text page;
    // Bytes added to the reply's body when the row runs, rather than in every test process at start.
    std::size_t padding = 0;
};
void PrintTo(const PageCase& c, std::ostream* out) { *out << c.name; }

struct VideoPages : testing::TestWithParam<PageCase> {};

TEST_P(VideoPages, ArriveOnceAsTextOnlyFromAWebLink) {
    const PageCase& c = GetParam();
    ConsoleCapture console;
    const auto dispatcher = std::make_shared<FakeDispatcher>();
    FakeHttp http(dispatcher);
    FakeHttpReply reply = c.reply;
    if (reply.body) reply.body->resize(reply.body->size() + c.padding, 'v');
    http.setAutoReply([&](const HttpRequest&) { return reply; });
    std::vector<Text> pages;
    resolveVideoPage(http, c.link, [&](Text page) { pages.push_back(std::move(page)); });
    dispatcher->runUntilIdle();

    EXPECT_EQ(pages, std::vector<Text>{c.page});
    const auto requests = http.requests();
    const bool fetched = c.link == kLink;
    ASSERT_EQ(requests.size(), fetched ? 1u : 0u);
    EXPECT_EQ(console.lines().size(), fetched ? 0u : 1u);
    if (!fetched) return;
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].url, kLink);
    EXPECT_EQ(requests[0].timeout, kVideoPageTimeout);
    EXPECT_EQ(requests[0].maxReplyBytes, kMaxVideoPageBytes);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, VideoPages,
    testing::Values(PageCase{"Utf8PageIsText", kLink, FakeHttpReply::text("<p>café</p>"), "<p>café</p>"},
                    PageCase{"NonUtf8PageIsNothing", kLink, FakeHttpReply::text("\xff\xfe page"), std::nullopt},
                    PageCase{"FailedExchangeIsEmptyText", kLink, FakeHttpReply::noBody(), ""},
                    PageCase{"HugePageIsEmptyText", kLink, FakeHttpReply::text("v"), "", kMaxVideoPageBytes},
                    PageCase{"FileLinkNotFetched", "file:///etc/hosts", FakeHttpReply::text("secret"), std::nullopt},
                    PageCase{"DataLinkNotFetched", "data:text/html,v/Ab1", FakeHttpReply::text("x"), std::nullopt},
                    PageCase{"GarbageNotFetched", "not a link", FakeHttpReply::text("x"), std::nullopt}),
    [](const auto& row) { return row.param.name; });

struct IdCase {
    const char* name;
    std::string page;
    std::string id;
};
void PrintTo(const IdCase& c, std::ostream* out) { *out << c.name; }

struct VideoIds : testing::TestWithParam<IdCase> {};

TEST_P(VideoIds, AreTheFirstRunOfIdCharactersAfterAPrefix) {
    EXPECT_EQ(extractVideoId(GetParam().page), GetParam().id);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, VideoIds,
    testing::Values(IdCase{"ShortLinkStopsAtItsQuery", "<a href=\"https://youtu.be/AbC_d-12?t=3\">", "AbC_d-12"},
                    IdCase{"WatchQuery", "/watch?v=Xy_9&list=2", "Xy_9"},
                    IdCase{"LaterQueryParameter", "/watch?list=2&v=Q-q", "Q-q"},
                    IdCase{"EmbeddedPlayer", "src=\"https://video.example/embed/E1mb\"", "E1mb"},
                    IdCase{"UppercasePrefix", "HTTPS://YOUTU.BE/Up3", "Up3"},
                    IdCase{"LeftmostPrefixWins", "embed/First then /watch?v=Second", "First"},
                    IdCase{"ScriptAfterAPrefixIsSkipped", "/v/<script>alert(1)</script>&v=Real_1", "Real_1"},
                    IdCase{"NonAsciiWordCharacterEndsTheId", "/v/abcé1", "abc"},
                    IdCase{"PrefixAtTheEnd", "/watch?v=", ""},
                    IdCase{"NoPrefix", "<html>no video here</html>", ""}),
    [](const auto& row) { return row.param.name; });

}  // namespace
}  // namespace fenk
