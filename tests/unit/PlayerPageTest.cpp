#include "FenkSDK/ui/PlayerPage.h"

#include "FenkSDK/json/JsonDocument.h"
#include "support/ConsoleCapture.h"

#include <gtest/gtest.h>

namespace fenk {
namespace {

constexpr std::string_view kStandInScript = "http://127.0.0.1:8080/iframe_api";

// The JavaScript value the page put on the line that starts with `prefix` (up to the ';' ending that line).
std::string insertedValue(const std::string& page, std::string_view prefix) {
    const auto start = page.find(prefix);
    if (start == std::string::npos) return {};
    const auto valueStart = start + prefix.size();
    const auto lineEnd = page.find(";\n", valueStart);
    return page.substr(valueStart, lineEnd - valueStart);
}

// The text a JSON value decodes to when it is a string, or at `key` of its "playerVars" object otherwise.
std::string decodedText(const std::string& json, std::string_view key = {}) {
    std::string error;
    const auto document = json::JsonDocument::parse(json, error);
    if (!document) return "undecodable: " + error;
    if (key.empty()) return std::string(document->root().text());
    for (const auto member : document->root().children()) {
        if (member.key() != "playerVars") continue;
        for (const auto variable : member.children()) {
            if (variable.key() == key) return std::string(variable.text());
        }
    }
    return "missing";
}

std::size_t occurrences(std::string_view text, std::string_view part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string_view::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

TEST(PlayerPage, ParametersNameThePageHandlersAndTheVideoOrPlaylist) {
    const std::string handlers =
        R"("height":"100%","width":"100%","events":{"onReady":"onReady","onStateChange":"onStateChange",)"
        R"("onPlaybackQualityChange":"onPlaybackQualityChange","onError":"onError"},)";
    EXPECT_EQ(videoParameters("M7lc1UVf-VE", {{"controls", "1"}}),
              "{" + handlers + R"("playerVars":{"controls":"1"},"videoId":"M7lc1UVf-VE"})");
    EXPECT_EQ(playlistParameters("PL_x-1", {}),
              "{" + handlers + R"("playerVars":{"list":"PL_x-1","listType":"playlist"}})");
}

struct InsertionCase {
    const char* name;
    std::string playerVar;
    std::string scriptAddress;
};
void PrintTo(const InsertionCase& c, std::ostream* out) { *out << c.name; }

struct PlayerPageInsertion : testing::TestWithParam<InsertionCase> {};

// Whatever the inserted text holds stays a value of the page's script: it neither ends the script, nor opens
// markup, nor is taken for a placeholder, and the page reads back exactly what was inserted.
TEST_P(PlayerPageInsertion, StaysInsideTheScriptAndReadsBackUnchanged) {
    const InsertionCase& c = GetParam();
    const auto page = videoPage("M7lc1UVf-VE", {{"note", c.playerVar}}, c.scriptAddress);
    ASSERT_TRUE(page);
    EXPECT_EQ(occurrences(*page, "</script>"), 1U);
    EXPECT_EQ(occurrences(*page, "<script>"), 1U);
    EXPECT_EQ(occurrences(*page, "<!--"), 0U);
    EXPECT_EQ(occurrences(*page, "\xE2\x80\xA8") + occurrences(*page, "\xE2\x80\xA9"), 0U);
    const std::string parameters = insertedValue(*page, "var playerParameters = ");
    const std::string address = insertedValue(*page, "tag.src = ");
    // Markup characters travel as \u escapes, so no reading of the page as markup can find them.
    EXPECT_EQ((parameters + address).find_first_of("<>&"), std::string::npos);
    EXPECT_EQ(decodedText(parameters, "note"), c.playerVar);
    EXPECT_EQ(decodedText(address), c.scriptAddress);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PlayerPageInsertion,
    testing::Values(InsertionCase{"Plain", "1", std::string(kStandInScript)},
                    InsertionCase{"ScriptEnd", "</script><script>alert(1)</script>", std::string(kStandInScript)},
                    InsertionCase{"Comment", "<!-- x", std::string(kStandInScript)},
                    InsertionCase{"Entity", "a&lt;b&amp;", std::string(kStandInScript)},
                    InsertionCase{"LineSeparators", "a\xE2\x80\xA8" "b\xE2\x80\xA9", std::string(kStandInScript)},
                    InsertionCase{"Placeholders", "%@ %script%", std::string(kStandInScript)},
                    InsertionCase{"AddressEndsScript", "1", "http://127.0.0.1:8080/a?b=</script>&c=%@"},
                    InsertionCase{"DefaultAddress", "1", std::string(kPlayerScriptAddress)}),
    [](const auto& row) { return row.param.name; });

struct LoadCase {
    const char* name;
    std::string id;
    std::string playerVar;
    std::string scriptAddress;
    bool loads;
};
void PrintTo(const LoadCase& c, std::ostream* out) { *out << c.name; }

struct PlayerPageLoad : testing::TestWithParam<LoadCase> {};

// What cannot be trusted into a page loads nothing and says so once on the console.
TEST_P(PlayerPageLoad, LoadsOnlyServiceIdsFromAnHttpScript) {
    const LoadCase& c = GetParam();
    for (const bool playlist : {false, true}) {
        ConsoleCapture console;
        const PlayerVars vars{{"note", c.playerVar}};
        const auto page = playlist ? playlistPage(c.id, vars, c.scriptAddress) : videoPage(c.id, vars, c.scriptAddress);
        EXPECT_EQ(page.has_value(), c.loads) << (playlist ? "playlist" : "video");
        const auto lines = console.lines();
        ASSERT_EQ(lines.size(), c.loads ? 0U : 1U);
        if (!c.loads) {
            EXPECT_TRUE(lines.front().starts_with("[FenkYTPlayer] ")) << lines.front();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PlayerPageLoad,
    testing::Values(LoadCase{"Letters", "M7lc1UVf-VE", "", std::string(kStandInScript), true},
                    LoadCase{"Underscore", "_-09azAZ", "", std::string(kStandInScript), true},
                    LoadCase{"Longest", std::string(64, 'a'), "", std::string(kStandInScript), true},
                    LoadCase{"TooLong", std::string(65, 'a'), "", std::string(kStandInScript), false},
                    LoadCase{"Empty", "", "", std::string(kStandInScript), false},
                    LoadCase{"ScriptEnd", "a</script>", "", std::string(kStandInScript), false},
                    LoadCase{"Quote", "a\"b", "", std::string(kStandInScript), false},
                    LoadCase{"Space", "a b", "", std::string(kStandInScript), false},
                    LoadCase{"Escape", "a%3C", "", std::string(kStandInScript), false},
                    LoadCase{"NonAscii", "caf\xC3\xA9", "", std::string(kStandInScript), false},
                    LoadCase{"VarNotUtf8", "abc", "\xFF", std::string(kStandInScript), false},
                    LoadCase{"ScriptNotHttp", "abc", "", "javascript:alert(1)", false}),
    [](const auto& row) { return row.param.name; });

}  // namespace
}  // namespace fenk
