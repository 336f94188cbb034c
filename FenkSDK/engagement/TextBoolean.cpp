#include "FenkSDK/engagement/TextBoolean.h"

namespace fenk {
namespace {

bool isWhiteSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

}  // namespace

bool textBoolValue(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && isWhiteSpace(text[at])) ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    while (at < text.size() && text[at] == '0') ++at;
    if (at == text.size()) return false;
    const char next = text[at];
    return next == 'y' || next == 'Y' || next == 't' || next == 'T' || (next >= '1' && next <= '9');
}

}  // namespace fenk
