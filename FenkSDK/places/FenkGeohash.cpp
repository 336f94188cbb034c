#include "FenkSDK/places/FenkGeohash.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace fenk {
namespace {

using Range = FenkGeohash::Range;

constexpr std::string_view kAlphabet = "0123456789bcdefghjkmnpqrstuvwxyz";
constexpr int kBitsPerCharacter = 5;
constexpr uint64_t kCharacterMask = (uint64_t{1} << kBitsPerCharacter) - 1;
constexpr uint8_t kNotInAlphabet = 0xFF;

// Twelve characters are 60 interleaved bits, the longest hash whose bits fit one machine word. At 30 bits
// per axis every bisection midpoint is still an exact double, so a cell index fully describes the bisection.
constexpr int kWordCharacters = 12;

constexpr std::array<uint8_t, 256> kCharacterValues = [] {
    std::array<uint8_t, 256> values{};
    values.fill(kNotInAlphabet);
    for (size_t value = 0; value < kAlphabet.size(); ++value) {
        values[static_cast<unsigned char>(kAlphabet[value])] = static_cast<uint8_t>(value);
    }
    return values;
}();

// Ten bits, five of each axis, spell two characters: the first takes longitude, latitude, longitude,
// latitude, longitude from the tops of the two chunks, the second the rest. Indexed by longitude << 5 | latitude.
constexpr std::array<std::array<char, 2>, 1024> kCharacterPairs = [] {
    std::array<std::array<char, 2>, 1024> pairs{};
    for (unsigned longitude = 0; longitude <= kCharacterMask; ++longitude) {
        for (unsigned latitude = 0; latitude <= kCharacterMask; ++latitude) {
            unsigned interleaved = 0;
            for (int bit = kBitsPerCharacter - 1; bit >= 0; --bit) {
                interleaved = interleaved << 2 | ((longitude >> bit) & 1) << 1 | ((latitude >> bit) & 1);
            }
            pairs[longitude << kBitsPerCharacter | latitude] = {kAlphabet[interleaved >> kBitsPerCharacter],
                                                                kAlphabet[interleaved & kCharacterMask]};
        }
    }
    return pairs;
}();

struct Axis {
    double lowerBound;
    double width;
    double inverseWidth;
};

constexpr Axis kLongitude{-180.0, 360.0, 1.0 / 360.0};
constexpr Axis kLatitude{-90.0, 180.0, 1.0 / 180.0};

// Longitude takes the even bit positions, so it gets the extra bit of an odd count.
struct AxisBits {
    int longitude;
    int latitude;
};

constexpr AxisBits splitBits(int interleavedBits) {
    return {(interleavedBits + 1) / 2, interleavedBits / 2};
}

constexpr double powerOfTwo(int exponent) {
    constexpr int kExponentBias = 1023;
    constexpr int kMantissaBits = 52;
    return std::bit_cast<double>(static_cast<uint64_t>(kExponentBias + exponent) << kMantissaBits);
}

double cellWidth(const Axis& axis, int bits) {
    return axis.width * powerOfTwo(-bits);
}

// Every boundary the bisection can reach within the word is lowerBound + index * 45 * 2^-k with index * 45
// below 2^36, so the product and the sum are exact.
Range cellRange(const Axis& axis, int bits, int64_t index) {
    const double width = cellWidth(axis, bits);
    const double min = axis.lowerBound + static_cast<double>(index) * width;
    return {min, min + width};
}

// The cell that `Bits` rounds of bisection put `value` in. Scaling guesses the cell, and a comparison with
// the exact lower boundary settles it, so the result matches bisection for every double. Both reciprocal widths
// round up and every other step rounds monotonically, so the guess is never below the true cell, and at most
// one above it (its error is a few parts in 2^53 of an index below 2^30).
// NaN compares as "not less" everywhere, hence the last cell, as do values at or above the upper bound.
// Indices are signed because signed integers convert to double in a single instruction.
template <int Bits>
int64_t cellIndex(double value, const Axis& axis) {
    constexpr auto kLastCell = static_cast<double>((int64_t{1} << Bits) - 1);
    const double guess = (value - axis.lowerBound) * (axis.inverseWidth * powerOfTwo(Bits));
    const double belowTop = guess < kLastCell ? guess : kLastCell;  // NaN and infinity too
    const auto index = static_cast<int64_t>(belowTop > 0.0 ? belowTop : 0.0);
    const bool belowCell = (index > 0) & (value < cellRange(axis, Bits, index).min);
    return index - belowCell;
}

// Bit 2k of the input moves to bit k; odd bits are dropped.
constexpr int64_t compactBits(uint64_t bits) {
    bits &= 0x5555555555555555ull;
    bits = (bits | bits >> 1) & 0x3333333333333333ull;
    bits = (bits | bits >> 2) & 0x0F0F0F0F0F0F0F0Full;
    bits = (bits | bits >> 4) & 0x00FF00FF00FF00FFull;
    bits = (bits | bits >> 8) & 0x0000FFFF0000FFFFull;
    return static_cast<int64_t>((bits | bits >> 16) & 0x00000000FFFFFFFFull);
}

// In a word of `interleavedBits` bits the first hash bit is the most significant one, so longitude sits on
// the odd bits of the word when the count is even and on the even bits when it is odd.
constexpr int latitudeShift(int interleavedBits) {
    return interleavedBits & 1;
}

constexpr int longitudeShift(int interleavedBits) {
    return 1 - latitudeShift(interleavedBits);
}

// Bit-by-bit bisection for the bits past the machine word. Once the ranges are narrower than the precision
// of a double the midpoint rounds onto an end of the range; stepping through it reproduces that faithfully.
class TailBisection {
public:
    // The word holds an even number of bits, so the tail starts on a longitude bit.
    TailBisection(Range longitude, Range latitude) : ranges_{longitude, latitude} {}

    unsigned encodeCharacter(double longitude, double latitude) {
        const std::array<double, 2> coordinates{longitude, latitude};
        unsigned value = 0;
        for (int bit = 0; bit < kBitsPerCharacter; ++bit) {
            const double coordinate = coordinates[nextAxis_];
            Range& range = nextRange();
            const double mid = midpoint(range);
            const bool upperHalf = !(coordinate < mid);
            keepHalf(range, mid, upperHalf);
            value = value << 1 | static_cast<unsigned>(upperHalf);
        }
        return value;
    }

    void decodeCharacter(unsigned value) {
        for (int bit = kBitsPerCharacter - 1; bit >= 0; --bit) {
            Range& range = nextRange();
            keepHalf(range, midpoint(range), ((value >> bit) & 1) != 0);
        }
    }

    FenkGeohash::CellBox box() const { return {ranges_[1], ranges_[0]}; }

private:
    static double midpoint(const Range& range) { return (range.min + range.max) * 0.5; }

    static void keepHalf(Range& range, double mid, bool upperHalf) {
        (upperHalf ? range.min : range.max) = mid;
    }

    Range& nextRange() {
        Range& range = ranges_[nextAxis_];
        nextAxis_ ^= 1;
        return range;
    }

    std::array<Range, 2> ranges_;  // longitude, latitude
    size_t nextAxis_ = 0;
};

// The cells of both axes after the bits of a `Characters`-long hash.
template <int Characters>
struct WordCells {
    static constexpr int kBits = Characters * kBitsPerCharacter;
    static constexpr AxisBits kAxisBits = splitBits(kBits);

    WordCells(double latitude, double longitude)
        : longitudeCell(cellIndex<kAxisBits.longitude>(longitude, kLongitude)),
          latitudeCell(cellIndex<kAxisBits.latitude>(latitude, kLatitude)) {}

    int64_t longitudeCell;
    int64_t latitudeCell;
};

// One instance per length, so that every shift, mask and power of two is a constant. Each axis is padded
// with zero bits to whole pairs of characters; for an odd length the padding spells a character past the end.
template <int Characters>
std::string encodeWithinWord(double latitude, double longitude) {
    using Cells = WordCells<Characters>;
    constexpr int kPairs = (Characters + 1) / 2;
    constexpr int kPaddedBits = kPairs * kBitsPerCharacter;
    const Cells cells(latitude, longitude);
    const auto longitudeBits = static_cast<uint64_t>(cells.longitudeCell) << (kPaddedBits - Cells::kAxisBits.longitude);
    const auto latitudeBits = static_cast<uint64_t>(cells.latitudeCell) << (kPaddedBits - Cells::kAxisBits.latitude);
    std::array<char, 2 * kPairs> characters{};
    for (int pair = 0; pair < kPairs; ++pair) {
        const int shift = kPaddedBits - (pair + 1) * kBitsPerCharacter;
        const uint64_t pairIndex = ((longitudeBits >> shift) & kCharacterMask) << kBitsPerCharacter |
                                   ((latitudeBits >> shift) & kCharacterMask);
        const std::array<char, 2>& spelled = kCharacterPairs[pairIndex];
        std::copy(spelled.begin(), spelled.end(), characters.begin() + 2 * pair);
    }
    return std::string(characters.data(), static_cast<size_t>(Characters));
}

using WordEncoder = std::string (*)(double latitude, double longitude);

constexpr auto kWordEncoders = []<size_t... LengthsLessOne>(std::index_sequence<LengthsLessOne...>) {
    return std::array<WordEncoder, kWordCharacters>{&encodeWithinWord<static_cast<int>(LengthsLessOne) + 1>...};
}(std::make_index_sequence<kWordCharacters>{});

// Rare, and kept out of line so that its spills stay out of the common path.
[[gnu::noinline]] std::string encodeBeyondWord(double latitude, double longitude, int length) {
    using Cells = WordCells<kWordCharacters>;
    std::string hash = encodeWithinWord<kWordCharacters>(latitude, longitude);
    const Cells cells(latitude, longitude);
    TailBisection tail(cellRange(kLongitude, Cells::kAxisBits.longitude, cells.longitudeCell),
                       cellRange(kLatitude, Cells::kAxisBits.latitude, cells.latitudeCell));
    hash.reserve(static_cast<size_t>(length));
    while (hash.size() < static_cast<size_t>(length)) {
        hash += kAlphabet[tail.encodeCharacter(longitude, latitude)];
    }
    return hash;
}

}  // namespace

std::string FenkGeohash::encode(double latitude, double longitude, int length) {
    if (length <= 0) {
        return {};
    }
    if (length <= kWordCharacters) {
        return kWordEncoders[static_cast<size_t>(length - 1)](latitude, longitude);
    }
    return encodeBeyondWord(latitude, longitude, length);
}

std::string FenkGeohash::encode(double latitude, double longitude, Precision precision) {
    return encode(latitude, longitude, static_cast<int>(precision));
}

std::optional<FenkGeohash::CellBox> FenkGeohash::decode(std::string_view hash) {
    const size_t wordCharacters = std::min(hash.size(), static_cast<size_t>(kWordCharacters));
    uint64_t word = 0;
    unsigned allValues = 0;  // any character outside the alphabet sets bits above the low five
    for (size_t character = 0; character < wordCharacters; ++character) {
        const uint8_t value = kCharacterValues[static_cast<unsigned char>(hash[character])];
        allValues |= value;
        word = word << kBitsPerCharacter | value;
    }
    if (allValues > kCharacterMask) {
        return std::nullopt;
    }
    const int wordBits = static_cast<int>(wordCharacters) * kBitsPerCharacter;
    const AxisBits bits = splitBits(wordBits);
    const Range longitude = cellRange(kLongitude, bits.longitude, compactBits(word >> longitudeShift(wordBits)));
    const Range latitude = cellRange(kLatitude, bits.latitude, compactBits(word >> latitudeShift(wordBits)));
    if (hash.size() <= wordCharacters) {
        return CellBox{latitude, longitude};
    }
    TailBisection tail(longitude, latitude);
    for (const char character : hash.substr(wordCharacters)) {
        const uint8_t value = kCharacterValues[static_cast<unsigned char>(character)];
        if (value == kNotInAlphabet) {
            return std::nullopt;
        }
        tail.decodeCharacter(value);
    }
    return tail.box();
}

std::string fenkGeohash(const LocationCoordinate2D& coordinate, int length) {
    return FenkGeohash::encode(coordinate.latitude, coordinate.longitude, length);
}

std::string fenkGeohash(const LocationCoordinate2D& coordinate, FenkGeohash::Precision precision) {
    return FenkGeohash::encode(coordinate.latitude, coordinate.longitude, precision);
}

LocationCoordinate2D coordinateFromGeohash(std::string_view hash) {
    const std::optional<FenkGeohash::CellBox> box = FenkGeohash::decode(hash);
    if (!box) {
        return kLocationCoordinate2DInvalid;
    }
    return {(box->latitude.min + box->latitude.max) * 0.5, (box->longitude.min + box->longitude.max) * 0.5};
}

}  // namespace fenk
