#include "FenkSDK/api/AuthenticationRequest.h"
#include "FenkSDK/api/PercentEncoding.h"
#include "FenkSDK/api/PlatformTransport.h"
#include "adapters/fake/FakeEnvironment.h"
#include "support/ConsoleCapture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace fenk {
namespace {

using ::testing::ElementsAre;
using ::testing::Pair;

const auto kIgnoreReply = [](auto, auto, auto) {};

class PlatformTransportTest : public ::testing::Test {
protected:
    FakeEnvironment fakes;
    PlatformTransport transport{fakes.http, fakes.dispatcher};
    ConsoleCapture console;
};

TEST_F(PlatformTransportTest, GetEscapesEachQueryNameAndValueOnItsOwn) {
    const std::tuple<RequestParameters, std::optional<std::string>, std::string> cases[] = {
        {{{"items", "10"}, {"offset", ""}}, "T", "?token=T&items=10"},
        {{{"name", "a b"}}, std::nullopt, "&name=a%20b"},
        // A value must not smuggle in a parameter of its own, nor lose its '+', '#' or '%'.
        {{{"name", "a&items=1000"}}, "T", "?token=T&name=a%26items%3D1000"},
        {{{"q", "c++ #1 50%"}, {"k=", "v"}}, std::nullopt, "&q=c%2B%2B%20%231%2050%25&k%3D=v"},
        {{}, "a+b/c=", "?token=a%2Bb/c%3D"},
    };
    for (const auto& [parameters, token, query] : cases) {
        transport.sendGet("http://p/x", parameters, token, kIgnoreReply);
        EXPECT_EQ(fakes.http->requests().back().url, "http://p/x" + query);
    }
    // The address keeps its structure and its escapes; what cannot stand in a URL is escaped.
    transport.sendGet("http://p/a b/%41/ñ?api=x#", {}, std::nullopt, kIgnoreReply);
    const HttpRequest request = fakes.http->requests().back();
    EXPECT_EQ(request.url, "http://p/a%20b/%41/%C3%B1?api=x%23");
    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.timeout, std::chrono::seconds(60));
}

TEST(FormEncodeTest, EscapesReservedCharactersAndThePercentSign) {
    const std::pair<std::string, std::string> cases[] = {
        {"a&b=c", "v=a%26b%3Dc"},
        {"a b+c", "v=a+b%2Bc"},
        {"50% %41", "v=50%25+%2541"},
        {"ñ:/?@!$'()*,;#", "v=ñ%3A%2F%3F%40%21%24%27%28%29%2A%2C%3B#"},
    };
    for (const auto& [value, expected] : cases) EXPECT_EQ(asText(formEncode({{"v", value}})), expected);
    EXPECT_EQ(asText(formEncode({{"b", "1"}, {"a", ""}})), "b=1&a=");
}

TEST_F(PlatformTransportTest, PostsAFormWithTheTokenLastAndShowsTheTokenShortened) {
    transport.sendPost("http://p/x", {{"id", "7"}}, std::string(32, 'k'), kIgnoreReply);
    transport.sendPost("http://p/x", {{"id", "7"}}, std::nullopt, kIgnoreReply);
    transport.sendPostAsync("http://p/x", {{"extra", "a b"}}, "T", kIgnoreReply);
    const auto requests = fakes.http->requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(asText(requests[0].body), "id=7&token=" + std::string(32, 'k'));
    EXPECT_THAT(requests[0].headers, ElementsAre(Pair("Content-Type", "application/x-www-form-urlencoded")));
    EXPECT_EQ(asText(requests[1].body), "id=7");
    EXPECT_EQ(asText(requests[2].body), "extra=a+b&token=T&async=true");
    EXPECT_THAT(requests[2].headers, ElementsAre(Pair("Content-Type", "application/x-www-form-urlencoded"),
                                                 Pair("async", "true")));
    EXPECT_THAT(console.lines(), ElementsAre("Token: kkkk\u2026 (32 characters)", "Token: NADA"));
}

TEST_F(PlatformTransportTest, AnAddressThatIsNoUrlSendsNothingAndCompletesWithoutReply) {
    for (const char* url : {"ftp://p/x", "http:///x", "http://@:80/x", "p/x", "http://p/a b", "http://p/\x01"}) {
        int completions = 0;
        transport.sendPost(url, {}, std::nullopt, [&](std::optional<Data> body, auto, std::optional<HttpError> error) {
            ++completions;
            EXPECT_TRUE(!body && error);
        });
        EXPECT_EQ(completions, 0) << "completed inside the call: " << url;
        fakes.dispatcher->runUntilIdle();
        EXPECT_EQ(completions, 1) << url;
    }
    EXPECT_TRUE(fakes.http->requests().empty());
}

// Without the line a failed registration answers an empty text and nothing says why. The address's query
// and its user part can hold secrets, so only the host and the path show.
TEST_F(PlatformTransportTest, AFailedExchangePrintsOneLineNamingTheFailureButNoSecret) {
    const std::tuple<std::string, FakeHttpReply, std::vector<std::string>> cases[] = {
        {"http://p:8080/1.0/json/x", FakeHttpReply::noBody("connection refused: no"),
         {"Request to p:8080/1.0/json/x failed: connection refused: no"}},
        {"https://user:secret@p/x", FakeHttpReply::noBody("untrusted certificate"),
         {"Request to p/x failed: untrusted certificate"}},
        {"http://p", FakeHttpReply::noBody("timed out"), {"Request to p failed: timed out"}},
        {"http://p/x", FakeHttpReply::text("{}", 500), {}},
    };
    for (const auto& [url, reply, lines] : cases) {
        console.clear();
        transport.sendGet(url, {{"apikey", "secret"}}, "secret", kIgnoreReply);
        fakes.http->reply(reply);
        fakes.dispatcher->runUntilIdle();
        EXPECT_EQ(console.lines(), lines) << url;
    }
}

TEST_F(PlatformTransportTest, AuthenticationSendsTheKeysEscapedAndTakesTheTokenOnlyFromAnOkReply) {
    const std::string credentials = R"(,"authenticate":{"resourceId":"R","token":"new"}})";
    const std::tuple<FakeHttpReply, std::optional<std::string>, bool, std::size_t> cases[] = {
        // reply, token afterwards, reply handed on, console lines
        {FakeHttpReply::text(R"({"response":"OK")" + credentials), "new", true, 0},
        {FakeHttpReply::text(R"({"response":"OK","authenticate":{}})"), std::nullopt, true, 0},
        {FakeHttpReply::text(R"({"response":"ERROR")" + credentials), "old", true, 0},
        {FakeHttpReply::text(R"({"response":7})"), "old", false, 1},
        {FakeHttpReply::garbage(), "old", false, 1},
        {FakeHttpReply::noBody(), "old", false, 1},
    };
    for (const auto& [reply, expectedToken, expectReply, expectedConsoleLines] : cases) {
        console.clear();
        std::optional<FG_Authenticate> updated;
        bool replied = false;
        requestAuthentication(transport, {.platform = "http://p", .version = "1.0", .token = "old", .api = {}}, "key 1",
                              "r&t=%", [&](FG_Authenticate record, std::optional<FG_AuthenticateBean> bean) {
                                  updated = std::move(record);
                                  replied = bean.has_value();
                              });
        fakes.http->reply(reply);
        fakes.dispatcher->runUntilIdle();
        ASSERT_TRUE(updated);
        EXPECT_EQ(updated->token, expectedToken);
        EXPECT_EQ(updated->api, "soa.api.fenk");
        EXPECT_EQ(replied, expectReply);
        EXPECT_EQ(console.lines().size(), expectedConsoleLines);
    }
    EXPECT_EQ(fakes.http->requests().front().url,
              "http://p/1.0/json/auth/user?api=soa.api.fenk&apikey=key%201&refreshToken=r%26t%3D%25");
}

}  // namespace
}  // namespace fenk
