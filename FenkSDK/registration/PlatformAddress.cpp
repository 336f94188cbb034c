#include "FenkSDK/registration/PlatformAddress.h"

#include "FenkSDK/runtime/Console.h"

#include <unicode/regex.h>
#include <unicode/unistr.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <string>

namespace fenk {
namespace {

// The address grammar's nested quantifiers make a backtracking matcher take exponential time on an address
// that almost matches (25 characters already take seconds), so it is matched in an equivalent form in
// which every quantifier is possessive. The grammar says:
// - up to the first separator, any mix of \w, '-' and '|' (the first group repeats, so its runs mix);
// - then one or more times a separator ('.', '|' or '/') followed by ONE run that is all \w or all of
//   '-', '|', '_' (this group does not repeat inside).
// Taking the first '.' or '/' (without either, the last '|') as the first separator and every later '|' as
// a separator too never loses a match, which leaves no choice for the matcher to revisit.
constexpr std::string_view kLinearAddressPattern =
    R"((?:http|https)://(?:[\w\-|]*+[./](?:(?:\w*+|[\-_]*+)[.|/])*+|(?:[\w\-]*+\|)++)(?:\w*+|[\-_]*+))";

std::unique_ptr<icu::RegexPattern> compileAddressPattern() {
    UErrorCode status = U_ZERO_ERROR;
    UParseError parseError{};
    std::unique_ptr<icu::RegexPattern> pattern(icu::RegexPattern::compile(
        icu::UnicodeString::fromUTF8(icu::StringPiece(kLinearAddressPattern.data(),
                                                      static_cast<int32_t>(kLinearAddressPattern.size()))),
        0, parseError, status));
    if (U_FAILURE(status)) {
        Console::print(std::string("Platform address pattern rejected: ") + u_errorName(status));
        return nullptr;
    }
    return pattern;
}

// Compiled once; a compiled pattern is immutable and may be shared by matchers on any thread.
const icu::RegexPattern* addressPattern() {
    static const std::unique_ptr<icu::RegexPattern> pattern = compileAddressPattern();
    return pattern.get();
}

}  // namespace

bool isValidPlatformAddress(std::string_view address) {
    const icu::RegexPattern* pattern = addressPattern();
    constexpr auto kLongestText = static_cast<std::size_t>(std::numeric_limits<int32_t>::max());
    if (pattern == nullptr || address.size() > kLongestText) return false;
    // Bytes that are not UTF-8 become U+FFFD, which no part of the grammar accepts.
    const icu::UnicodeString text =
        icu::UnicodeString::fromUTF8(icu::StringPiece(address.data(), static_cast<int32_t>(address.size())));
    UErrorCode status = U_ZERO_ERROR;
    // The matcher keeps a reference to `text`, which outlives it.
    const std::unique_ptr<icu::RegexMatcher> matcher(pattern->matcher(text, status));
    if (U_FAILURE(status)) return false;
    // An address so long that it exhausts the matcher's backtracking memory fails with an error: no match.
    const bool matches = matcher->matches(status);
    return U_SUCCESS(status) && matches;
}

}  // namespace fenk
