#include "FenkSDK/ui/PlayerPage.h"

#include "FenkSDK/json/JsonDocument.h"
#include "support/ConsoleCapture.h"

#include <gtest/gtest.h>

namespace fenk {
namespace {

const std::string kStandInScript = "http://127.0.0.1:8080/iframe_api";

// The JavaScript value the page put after `prefix`, up to the ';' that ends its line.
std::string insertedValue(const std::string& page, std::string_view prefix) {
    const auto start = page.find(prefix) + prefix.size();
    return page.substr(start, page.find(";\n", start) - start);
}

// The text of a JSON string, or of the player variable "note" in a parameters object.
std::string decodedText(const std::string& json) {
    std::string error;
    const auto document = json::JsonDocument::parse(json, error);
    if (!document) return "undecodable: " + error;
    if (document->root().kind() == json::JsonKind::String) return std::string(document->root().text());
    for (const auto member : document->root().children()) {
        for (const auto variable : member.children()) {
            if (member.key() == "playerVars" && variable.key() == "note") return std::string(variable.text());
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

// Whatever the inserted text holds stays a value of the page's script: it neither ends the script nor opens
// markup nor is taken for a placeholder, and the page reads back exactly what was inserted.
TEST(PlayerPage, InsertedTextStaysInsideTheScriptAndReadsBackUnchanged) {
    struct Row {
        std::string playerVar;
        std::string scriptAddress = kStandInScript;
    };
    for (const Row& row : {Row{"</script><script>alert(1)</script>"}, Row{"<!-- x"}, Row{"a&lt;b&amp;"},
                           Row{"a\xE2\x80\xA8" "b\xE2\x80\xA9"}, Row{"%@ %script%"},
                           Row{"1", "http://127.0.0.1:8080/a?b=</script>&c=%@"},
                           Row{"1", std::string(kPlayerScriptAddress)}}) {
        SCOPED_TRACE(row.playerVar + " " + row.scriptAddress);
        const auto page = videoPage("M7lc1UVf-VE", {{"note", row.playerVar}}, row.scriptAddress);
        ASSERT_TRUE(page);
        EXPECT_EQ(occurrences(*page, "</script>"), 1U);
        for (const std::string_view forbidden : {"<!--", "\xE2\x80\xA8", "\xE2\x80\xA9"}) {
            EXPECT_EQ(occurrences(*page, forbidden), 0U);
        }
        const std::string parameters = insertedValue(*page, "var playerParameters = ");
        const std::string address = insertedValue(*page, "tag.src = ");
        // Markup characters travel as \u escapes, so no reading of the page as markup can find them.
        EXPECT_EQ((parameters + address).find_first_of("<>&"), std::string::npos);
        EXPECT_EQ(decodedText(parameters), row.playerVar);
        EXPECT_EQ(decodedText(address), row.scriptAddress);
    }
}

// What cannot be trusted into a page loads nothing and says so once on the console.
TEST(PlayerPage, LoadsOnlyServiceIdsFromAnHttpScript) {
    struct Row {
        std::string id;
        bool loads;
        std::string playerVar = "1";
        std::string scriptAddress = kStandInScript;
    };
    for (const Row& row : {Row{"M7lc1UVf-VE", true}, Row{"_-09azAZ", true}, Row{std::string(64, 'a'), true},
                           Row{std::string(65, 'a'), false}, Row{"", false}, Row{"a</script>", false},
                           Row{"a\"b", false}, Row{"a b", false}, Row{"a%3C", false}, Row{"caf\xC3\xA9", false},
                           Row{"abc", false, "\xFF"}, Row{"abc", false, "1", "javascript:alert(1)"}}) {
        for (const bool playlist : {false, true}) {
            SCOPED_TRACE(row.id + (playlist ? " as playlist" : " as video"));
            ConsoleCapture console;
            const PlayerVars vars{{"note", row.playerVar}};
            const auto page = playlist ? playlistPage(row.id, vars, row.scriptAddress)
                                       : videoPage(row.id, vars, row.scriptAddress);
            EXPECT_EQ(page.has_value(), row.loads);
            const auto lines = console.lines();
            ASSERT_EQ(lines.size(), row.loads ? 0U : 1U);
            if (!row.loads) {
                EXPECT_TRUE(lines.front().starts_with("[FenkYTPlayer] ")) << lines.front();
            }
        }
    }
}

}  // namespace
}  // namespace fenk
