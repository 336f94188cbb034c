#include "tools/fenk-platform/RandomIdentifiers.h"

#include <array>

namespace fenk {

RandomIdentifiers::RandomIdentifiers() {
    std::random_device device;
    std::seed_seq seed{device(), device(), device(), device(), device(), device(), device(), device()};
    engine_.seed(seed);
}

std::string RandomIdentifiers::next(std::size_t digits) {
    static constexpr std::array<char, 16> kHexDigits{'0', '1', '2', '3', '4', '5', '6', '7',
                                                     '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
    std::string text(digits, '0');
    const std::scoped_lock lock(mutex_);
    std::uint64_t bits = 0;
    for (std::size_t index = 0; index < digits; ++index) {
        if (index % 16 == 0) bits = engine_();
        text[index] = kHexDigits[bits & 0xF];
        bits >>= 4;
    }
    return text;
}

}  // namespace fenk
