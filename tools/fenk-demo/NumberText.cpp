#include "tools/fenk-demo/NumberText.h"

namespace fenk {

std::string grouped(std::int64_t number) {
    const std::string digits = std::to_string(number);
    const std::size_t firstDigit = number < 0 ? 1 : 0;
    std::string text = digits.substr(0, firstDigit);
    for (std::size_t at = firstDigit; at < digits.size(); ++at) {
        if (at > firstDigit && (digits.size() - at) % 3 == 0) text += ',';
        text += digits[at];
    }
    return text;
}

}  // namespace fenk
