#include "FenkSDK/registration/PlatformAddress.h"

#include <gtest/gtest.h>
#include <unicode/regex.h>

#include <memory>
#include <string>

namespace fenk {
namespace {

TEST(PlatformAddressTest, AcceptsWhatTheGrammarAcceptsAndNothingElse) {
    const std::pair<std::string, bool> cases[] = {
        {"https://platform.example.com/api/v2", true},
        {"http://192.0.2.10/", true},
        {"http://my-host_1.s\xC3\xBC" "d", true},  // \w is any Unicode word character
        {"http://a|b", true},
        {"http://a.b-c", false},  // the run after a separator is word characters or dashes, never both
        {"https://localhost", false},
        {"https://platform.example.com:8080", false},
        {"ftp://platform.example.com", false},
        {"HTTP://platform.example.com", false},
        {"http://platform.example.com ", false},
        {"http://bad\xFF.example", false},
        {std::string("http://a\0.b", 11), false},
    };
    for (const auto& [address, valid] : cases) EXPECT_EQ(isValidPlatformAddress(address), valid) << address;
}

// The grammar as stated, matched directly; exponential on long near-misses, so for short addresses only.
bool matchesStatedGrammar(const std::string& address) {
    static const std::unique_ptr<icu::RegexPattern> stated = [] {
        UErrorCode status = U_ZERO_ERROR;
        return std::unique_ptr<icu::RegexPattern>(icu::RegexPattern::compile(
            R"((http|https)://((\w)*|([0-9]*)|([-|_])*)+([\.|/]((\w)*|([0-9]*)|([-|_])*))+)", 0, status));
    }();
    UErrorCode status = U_ZERO_ERROR;
    const icu::UnicodeString text = icu::UnicodeString::fromUTF8(address);
    const std::unique_ptr<icu::RegexMatcher> matcher(stated->matcher(text, status));
    return matcher->matches(status) && U_SUCCESS(status);
}

TEST(PlatformAddressTest, AgreesWithTheStatedGrammarOnEveryShortAddress) {
    // Every tail of up to five of the characters the grammar tells apart ("\xCC\x81" is a combining mark).
    const std::string alphabet[] = {"a", "_", "-", "|", ".", "/", "!", "\xCC\x81"};
    std::vector<std::string> tails{""};
    for (std::size_t begin = 0, length = 1; length <= 5; ++length) {
        const std::size_t end = tails.size();
        for (std::size_t index = begin; index < end; ++index) {
            for (const std::string& character : alphabet) tails.push_back(tails[index] + character);
        }
        begin = end;
    }
    for (const std::string& tail : tails) {
        ASSERT_EQ(isValidPlatformAddress("http://" + tail), matchesStatedGrammar("http://" + tail)) << tail;
    }
}

TEST(PlatformAddressTest, LongNearMissesFinish) {
    const std::string longRun(5'000, 'a');
    EXPECT_FALSE(isValidPlatformAddress("http://" + longRun + "!"));
    EXPECT_FALSE(isValidPlatformAddress("http://" + longRun + "." + longRun + "-"));
    EXPECT_TRUE(isValidPlatformAddress("https://" + longRun + ".com"));
}

}  // namespace
}  // namespace fenk
